// The real main window switched to another PC's traces through File > Open
// Traces Folder (the folder picker answered by a hook), and back to this PC;
// the report dialog names the folder's computer and user.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/CreateReportDialog.h"
#include "app/MainWindow.h"
#include "app/OpenFolderDialog.h"
#include "app/SettingsFile.h"
#include "app/ViewerServices.h"
#include "core/ProgramState.h"
#include "platform/DialogLayout.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "support/HiveBuilder.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

using Rows = std::vector<std::string>;

constexpr char kTypedPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TypedPaths";

std::string Hive(const std::vector<test::TreeKey>& keys) {
  const std::vector<uint8_t> bytes = test::BuildHiveTree(keys);
  return {bytes.begin(), bytes.end()};
}

class FolderSourceWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* user : {"alice", "bob"}) {
      const std::u16string path = u"\\\\" + std::u16string(user, user + std::char_traits<char>::length(user));
      volume_.Write(std::string("Users\\") + user + "\\NTUSER.DAT",
                    Hive({{kTypedPaths, {{"url1", REG_SZ, test::SzData(path + u"-server")}}}}));
    }
    volume_.Write("Windows\\System32\\config\\SYSTEM",
                  Hive({{"Select", {{"Current", REG_DWORD, std::string("\x01\x00\x00\x00", 4)}}},
                        {"ControlSet001\\Control\\ComputerName\\ComputerName",
                         {{"ComputerName", REG_SZ, test::SzData(u"EVIDENCE-PC")}}}}));
    scratch_.SetString(HKEY_CURRENT_USER, kTypedPaths, "url1", "\\\\this-pc");
    savedOs_ = OsVersion;
    OsVersion = "Vista";
    settings_ = SettingsFile(settingsFolder_.str() + "\\tmere.ini");
    SetShellOpenHook([](HWND, const std::string&, int) {});
    SetMessageHook([this](HWND, const std::string& text, const std::string&, UINT) {
      messages_.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    viewer_.reset();
    SetBrowseHook(nullptr);
    OpenFolderDialog::SetShownHook(nullptr);
    SetShellOpenHook(nullptr);
    SetMessageHook(nullptr);
    OsVersion = savedOs_;
    EXPECT_TRUE(messages_.empty()) << messages_.front();
  }
  MainWindow& Open() {
    viewer_ = std::make_unique<MainWindow>(Categories(), MakeViewerServices(&settings_));
    EXPECT_TRUE(viewer_->Create(SW_SHOWNORMAL));
    return *viewer_;
  }
  Rows Column0() const {
    Rows texts;
    const ListView list = viewer_->List();
    for (int r = 0; r < list.ItemCount(); ++r) texts.push_back(list.ItemText(r, 0));
    return texts;
  }
  // Answers the dialog as a user does: picks the volume, then a user, OK.
  void AnswerDialog(const std::string& user) {
    SetBrowseHook([this] { return volume_.str(); });
    OpenFolderDialog::SetShownHook([this, user](OpenFolderDialog& dialog) {
      dialog.Browse();
      shownUsers_ = SendMessageW(dialog.Control(OpenFolderDialog::kUserBox), CB_GETCOUNT, 0, 0);
      if (!user.empty()) {
        const std::wstring wide(user.begin(), user.end());
        SendMessageW(dialog.Control(OpenFolderDialog::kUserBox), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(wide.c_str()));
      }
      PostMessageW(dialog.hwnd(), WM_COMMAND, IDOK, 0);
    });
  }
  bool ThisPcChecked() const {
    return (GetMenuState(GetMenu(viewer_->hwnd()), MainWindow::kMenuThisPc, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }

  test::TempDir volume_;
  test::TempDir settingsFolder_;
  test::ScratchRegistry scratch_;
  SettingsFile settings_;
  std::string savedOs_;
  LRESULT shownUsers_ = 0;
  Rows messages_;
  std::unique_ptr<MainWindow> viewer_;
};

TEST_F(FolderSourceWindowTest, OpenTracesFolderReadsTheFolderAndThisPcReadsThisPcAgain) {
  MainWindow& viewer = Open();
  ASSERT_TRUE(viewer.ClickNodeByKey(Categories().Of(Category::kTypedPaths).key));
  EXPECT_EQ(Column0(), Rows{"\\\\this-pc"});

  AnswerDialog("bob");
  viewer.Command(MainWindow::kMenuOpenFolder);
  EXPECT_EQ(shownUsers_, 2);
  EXPECT_EQ(WindowText(viewer.hwnd()), "Tracemere - " + volume_.str());
  EXPECT_FALSE(ThisPcChecked());
  EXPECT_EQ(Column0(), Rows{"\\\\bob-server"});
  EXPECT_EQ(StoredFolderUser(&settings_, volume_.str()), "bob");
  EXPECT_EQ(viewer.Source().ComputerName(), "EVIDENCE-PC");

  // The report of the folder names its computer and user, and holds its
  // rows.
  viewer.Command(MainWindow::kMenuCreateReport);
  HWND dialog = FindWindowW(L"TracemereCreateReport", nullptr);
  ASSERT_NE(dialog, nullptr);
  HWND fileEdit = GetDlgItem(dialog, CreateReportDialog::kReportFileEdit);
  const std::string file = WindowText(fileEdit);
  EXPECT_TRUE(file.ends_with("\\Report_for_EVIDENCE-PC.htm")) << file;
  const std::filesystem::path page = settingsFolder_.path() / "report.htm";
  SetWindowTextW(fileEdit, page.wstring().c_str());
  SendMessageW(GetDlgItem(dialog, CreateReportDialog::kStartButton), BM_CLICK, 0, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(dialog); }, 30000));
  const std::string bytes = test::ReadFileBytes(page);
  std::wstring text(bytes.size() / 2, L'\0');
  if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * 2);
  for (const wchar_t* part : {L">EVIDENCE-PC</td>", L">bob</td>", L">\\\\bob-server</td>"}) {
    EXPECT_NE(text.find(part), std::wstring::npos) << Narrow(part);
  }

  viewer.Command(MainWindow::kMenuThisPc);
  EXPECT_EQ(WindowText(viewer.hwnd()), "Tracemere - This PC");
  EXPECT_TRUE(ThisPcChecked());
  EXPECT_EQ(Column0(), Rows{"\\\\this-pc"});
}

}  // namespace
}  // namespace tmr
