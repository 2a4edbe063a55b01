// Ending processes by name: real child processes under chosen file names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/Handles.h"
#include "platform/Processes.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

class ProcessesTest : public ::testing::Test {
 protected:
  // Starts a copy of the sleeper under the given name, in its own folder.
  HANDLE Start(const std::wstring& name) {
    fs::path folder = temp_.path() / std::to_wstring(children_.size());
    fs::create_directories(folder);
    fs::copy_file(fs::path(test::TestProgramFolder()) / L"tm_sleeper.exe", folder / name);
    HANDLE child = test::StartProcess((folder / name).wstring());
    const DWORD error = GetLastError();
    EXPECT_NE(child, nullptr) << "cannot start " << folder / name << ", error " << error;
    children_.emplace_back(child);
    return child;
  }
  static bool Ended(HANDLE process, DWORD ms = 5000) { return WaitForSingleObject(process, ms) == WAIT_OBJECT_0; }
  static bool Listed(bool usePsapi, std::string_view filter, DWORD id) {
    std::vector<std::string> names;
    std::vector<uint32_t> ids;
    int count = EnumProcessList(usePsapi, filter, names, ids);
    EXPECT_EQ(count, static_cast<int>(ids.size()));
    EXPECT_EQ(names.size(), ids.size());
    return std::find(ids.begin(), ids.end(), id) != ids.end();
  }
  void TearDown() override {
    for (auto& child : children_) {
      TerminateProcess(child.get(), 1);
      WaitForSingleObject(child.get(), 5000);
    }
  }

  test::TempDir temp_;
  std::vector<UniqueHandle> children_;
};

TEST_F(ProcessesTest, KillByNameIgnoresCaseAndSparesOthers) {
  HANDLE lower = Start(L"chrome.exe");
  HANDLE upper = Start(L"CHROME.EXE");
  HANDLE bystander = Start(L"bystander.exe");
  // Give the children time to map their first module.
  Sleep(300);
  KillProcessByName("chrome.exe");
  // Gone by the time the call returns, so their files are free.
  EXPECT_TRUE(Ended(lower, 0));
  EXPECT_TRUE(Ended(upper, 0));
  EXPECT_FALSE(Ended(bystander, 300));
  DWORD code = 0;
  GetExitCodeProcess(lower, &code);
  EXPECT_EQ(code, 0u);
}

TEST_F(ProcessesTest, BothListingsFindAChildAndFilterWithExactCase) {
  HANDLE child = Start(L"TmListed.exe");
  Sleep(300);
  DWORD id = GetProcessId(child);
  EXPECT_EQ(ProcessNameById(id), "TmListed.exe");
  for (bool usePsapi : {true, false}) {
    EXPECT_TRUE(Listed(usePsapi, "", id)) << usePsapi;
    EXPECT_TRUE(Listed(usePsapi, "TmListed", id)) << usePsapi;
    EXPECT_FALSE(Listed(usePsapi, "tmlisted", id)) << usePsapi;
  }
  EXPECT_FALSE(Ended(child, 100));
}

TEST_F(ProcessesTest, TerminateByIdOrNothingForAnEmptyName) {
  HANDLE child = Start(L"victim.exe");
  Sleep(300);
  KillProcessByName("");
  EXPECT_FALSE(Ended(child, 300));
  uint32_t id = GetProcessId(child);
  EXPECT_TRUE(TerminateProcessById(id));
  EXPECT_TRUE(Ended(child));
  EXPECT_EQ(ProcessNameById(0), "System Idle Process");
}

}  // namespace
}  // namespace tmr
