// The viewer program itself, started as a user starts it.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>

#include "app/SettingsFile.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

struct FoundWindow {
  DWORD pid;
  int count;
  HWND hwnd;
};

BOOL CALLBACK CountViewerWindows(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<FoundWindow*>(param);
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (wcscmp(cls, L"TracemereViewer") == 0 && (found->pid == 0 || pid == found->pid)) {
    ++found->count;
    found->hwnd = hwnd;
  }
  return TRUE;
}

FoundWindow ViewerWindows(DWORD pid = 0) {
  FoundWindow found{pid, 0, nullptr};
  EnumWindows(CountViewerWindows, reinterpret_cast<LPARAM>(&found));
  return found;
}

class ViewerStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(std::filesystem::path(test::TestProgramFolder()) / L"tracemere.exe",
                               dir_.path() / L"tracemere.exe");
    program_ = (dir_.path() / L"tracemere.exe").wstring();
  }
  void Stop(HANDLE process) {
    FoundWindow w = ViewerWindows(GetProcessId(process));
    if (w.hwnd) PostMessageW(w.hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
    CloseHandle(process);
  }
  SettingsFile Ini() const { return SettingsFile(dir_.str() + "\\tmere.ini"); }

  test::TempDir dir_;
  std::wstring program_;
};

TEST_F(ViewerStartTest, ASecondInstanceEndsAtOnceWithoutAWindow) {
  dir_.Write("tmere.ini", "[general]\r\nReportFolder=C:\\Reports\r\nlastcheckupdate=" + FormatShortDate(LocalToday()) +
                              "\r\nCheckInterval=7\r\n");
  HANDLE first = test::StartProcess(program_);
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(test::WaitUntil([&] { return ViewerWindows(GetProcessId(first)).count == 1; }, 20000));

  HANDLE second = test::StartProcess(program_);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(WaitForSingleObject(second, 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(second, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ViewerWindows(GetProcessId(second)).count, 0);
  EXPECT_EQ(ViewerWindows().count, 1);
  CloseHandle(second);

  Stop(first);
  // Only the window's layout is written at exit: the stored folder is as it was.
  EXPECT_EQ(Ini().GetSetting("general", "ReportFolder"), "C:\\Reports");
}

TEST_F(ViewerStartTest, AnEmptyReportFolderBecomesTheDocumentsFolder) {
  dir_.Write("tmere.ini", "[general]\r\nReportFolder=\r\nlastcheckupdate=" + FormatShortDate(LocalToday()) +
                              "\r\nCheckInterval=7\r\n");
  HANDLE viewer = test::StartProcess(program_);
  ASSERT_NE(viewer, nullptr);
  ASSERT_TRUE(test::WaitUntil([&] { return ViewerWindows(GetProcessId(viewer)).count == 1; }, 20000));
  Stop(viewer);
  EXPECT_EQ(Ini().GetSetting("general", "ReportFolder"), GetSpecialFolder(CSIDL_PERSONAL));
}

TEST_F(ViewerStartTest, StartsWithoutASettingsFile) {
  HANDLE viewer = test::StartProcess(program_);
  ASSERT_NE(viewer, nullptr);
  ASSERT_TRUE(test::WaitUntil([&] { return ViewerWindows(GetProcessId(viewer)).count == 1; }, 20000));
  Stop(viewer);
  EXPECT_EQ(Ini().GetSetting("general", "ReportFolder"), GetSpecialFolder(CSIDL_PERSONAL));
}

TEST_F(ViewerStartTest, SourceOnTheCommandLineOpensTheWindowOnThatFolder) {
  dir_.Write("tmere.ini", "[general]\r\nlastcheckupdate=" + FormatShortDate(LocalToday()) + "\r\nCheckInterval=7\r\n");
  test::TempDir profile;
  profile.Write("jdoe\\NTUSER.DAT", "regf");
  const std::string folder = profile.str() + "\\jdoe";
  HANDLE viewer = test::StartProcess(program_, L"--source \"" + Widen(folder) + L"\"");
  ASSERT_NE(viewer, nullptr);
  ASSERT_TRUE(test::WaitUntil([&] { return ViewerWindows(GetProcessId(viewer)).count == 1; }, 20000));
  wchar_t title[512] = {};
  GetWindowTextW(ViewerWindows(GetProcessId(viewer)).hwnd, title, 512);
  EXPECT_EQ(Narrow(title), "Tracemere - " + folder);
  Stop(viewer);
}

}  // namespace
}  // namespace tmr
