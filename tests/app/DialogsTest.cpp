// The options, about and progress dialogs as real windows.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/AboutDialog.h"
#include "app/OptionsDialog.h"
#include "app/ProgressDialog.h"
#include "app/SettingsFile.h"
#include "app/ViewerServices.h"
#include "core/ProgramState.h"
#include "platform/DialogLayout.h"
#include "platform/Dialogs.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "support/BrowserTestSupport.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("tmere.ini", "[general]\r\nReportFolder=C:\\Old\r\nlastcheckupdate=\r\nCheckInterval=7\r\n");
    settings_.path = dir_.str() + "\\tmere.ini";
    ReportFolder = "C:\\Old";
    SetShellOpenHook([this](HWND, const std::string& target, int show) {
      opened_.push_back(target + " show=" + std::to_string(show));
    });
  }
  void TearDown() override {
    SetShellOpenHook(nullptr);
    SetBrowseHook(nullptr);
  }
  void Press(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

  test::TempDir dir_;
  SettingsFile settings_;
  std::vector<std::string> opened_;
};

TEST_F(DialogsTest, OptionsOkStoresTheTrimmedFolderAsTyped) {
  OptionsDialog options(&settings_);
  ASSERT_TRUE(options.Show(nullptr));
  wchar_t caption[32] = {};
  GetWindowTextW(options.hwnd(), caption, 32);
  EXPECT_STREQ(caption, L"Options");
  EXPECT_EQ(WindowText(options.ReportFolderFrame()), "Report Folder");
  EXPECT_EQ(WindowText(options.ReportFolderEdit()), "C:\\Old");

  SetWindowTextUtf8(options.ReportFolderEdit(), "   D:\\Reports\\  ");
  Press(options.hwnd(), IDOK);
  EXPECT_EQ(options.hwnd(), nullptr);
  EXPECT_EQ(ReportFolder, "D:\\Reports\\");
  EXPECT_EQ(settings_.GetSetting("general", "ReportFolder"), "D:\\Reports\\");
}

// Each browser's profiles from its own list, "Automatic" first; the choice
// is kept in tmere.ini and read back as the readers get it.
TEST_F(DialogsTest, OptionsOfferEachBrowsersProfilesAndKeepTheChoice) {
  test::BrowserProfile profile;
  profile.Write("Local/Microsoft/Edge/User Data/Local State",
                R"({"profile":{"info_cache":{"Default":{"name":"Work"},"Profile 2":{"name":"Home"}}}})");
  profile.Write("Roaming/Mozilla/Firefox/profiles.ini",
                "[Profile0]\r\nName=release\r\nIsRelative=1\r\nPath=Profiles/r.default-release\r\n");
  settings_.SaveSetting("general", "ChromeProfile", "Gone");
  OptionsDialog options(&settings_);
  ASSERT_TRUE(options.Show(nullptr));
  auto items = [&](int id) {
    std::vector<std::string> texts;
    HWND box = options.ProfileBox(id);
    for (LRESULT i = 0; i < SendMessageW(box, CB_GETCOUNT, 0, 0); ++i) {
      wchar_t text[256] = {};
      SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      texts.push_back(Narrow(text));
    }
    return texts;
  };
  using Texts = std::vector<std::string>;
  EXPECT_EQ(items(OptionsDialog::kChromeProfileBox), Texts{"Automatic"});
  EXPECT_EQ(items(OptionsDialog::kEdgeProfileBox), (Texts{"Automatic", "Work (Default)", "Home (Profile 2)"}));
  EXPECT_EQ(items(OptionsDialog::kFirefoxProfileBox), (Texts{"Automatic", "release"}));
  // A stored profile that is no longer listed reads as the automatic one.
  EXPECT_EQ(SendMessageW(options.ProfileBox(OptionsDialog::kChromeProfileBox), CB_GETCURSEL, 0, 0), 0);

  SendMessageW(options.ProfileBox(OptionsDialog::kEdgeProfileBox), CB_SETCURSEL, 2, 0);
  SendMessageW(options.ProfileBox(OptionsDialog::kFirefoxProfileBox), CB_SETCURSEL, 1, 0);
  Press(options.hwnd(), IDOK);
  const BrowserProfileChoice chosen = StoredProfileChoice(&settings_);
  EXPECT_EQ(chosen.chrome, "");
  EXPECT_EQ(chosen.edge, "Profile 2");
  EXPECT_EQ(chosen.firefox,
            test::Utf8(profile.Root() / "Roaming" / "Mozilla" / "Firefox" / "Profiles" / "r.default-release"));
}

TEST_F(DialogsTest, OptionsBlanksStoreEmptyAndCancelKeepsTheOldFolder) {
  {
    OptionsDialog options(&settings_);
    ASSERT_TRUE(options.Show(nullptr));
    SetBrowseHook([] { return std::string(); });  // the picker is cancelled
    Press(options.hwnd(), OptionsDialog::kBrowseButton);
    EXPECT_EQ(WindowText(options.ReportFolderEdit()), "");
    Press(options.hwnd(), IDCANCEL);
    EXPECT_EQ(ReportFolder, "C:\\Old");
    EXPECT_EQ(settings_.GetSetting("general", "ReportFolder"), "C:\\Old");
  }
  {
    OptionsDialog options(&settings_);
    ASSERT_TRUE(options.Show(nullptr));
    SetBrowseHook([] { return std::string("E:\\Picked"); });
    Press(options.hwnd(), OptionsDialog::kBrowseButton);
    EXPECT_EQ(WindowText(options.ReportFolderEdit()), "E:\\Picked");
    SetWindowTextUtf8(options.ReportFolderEdit(), "    ");
    Press(options.hwnd(), IDOK);
    EXPECT_EQ(ReportFolder, "");
    EXPECT_EQ(settings_.GetSetting("general", "ReportFolder"), "");
  }
}

TEST_F(DialogsTest, EscapeClosesAModelessDialogThroughTheMessageLoop) {
  OptionsDialog options(&settings_);
  ASSERT_TRUE(options.Show(nullptr));
  SetFocus(options.ReportFolderEdit());
  PostMessageW(options.ReportFolderEdit(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(test::WaitUntil([&] { return options.hwnd() == nullptr; }, 2000));
  EXPECT_EQ(ReportFolder, "C:\\Old");
}

TEST_F(DialogsTest, AboutShowsTheVersionAndOpensPages) {
  SiteAddress = "http://127.0.0.1:9";
  MakerPageAddress = "http://127.0.0.1:9/sweep.htm";
  int checks = 0;
  AboutDialog about([&](HWND) { ++checks; });
  ASSERT_TRUE(about.Show(nullptr));
  wchar_t caption[32] = {};
  GetWindowTextW(about.hwnd(), caption, 32);
  EXPECT_STREQ(caption, L"About Us");
  EXPECT_EQ(WindowText(about.VersionLabel()), "Version 5" + UserDecimalSeparator() + "2  build 1000");
  EXPECT_EQ(WindowText(GetDlgItem(about.hwnd(), AboutDialog::kHeading)), "About Tracemere (tm)");

  NMHDR link{GetDlgItem(about.hwnd(), AboutDialog::kMakerLink), AboutDialog::kMakerLink, static_cast<UINT>(NM_CLICK)};
  SendMessageW(about.hwnd(), WM_NOTIFY, link.idFrom, reinterpret_cast<LPARAM>(&link));
  link = NMHDR{GetDlgItem(about.hwnd(), AboutDialog::kSupportLink), AboutDialog::kSupportLink,
               static_cast<UINT>(NM_CLICK)};
  SendMessageW(about.hwnd(), WM_NOTIFY, link.idFrom, reinterpret_cast<LPARAM>(&link));
  EXPECT_EQ(opened_,
            (std::vector<std::string>{"http://127.0.0.1:9/sweep.htm show=0", "http://127.0.0.1:9/support.htm show=0"}));

  Press(about.hwnd(), AboutDialog::kCheckVersionButton);
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(about.hwnd(), nullptr);  // closed once the check is over
}

// Registered again under LC_ALL=de_DE.UTF-8.
TEST_F(DialogsTest, LocaleAboutLineUsesTheDecimalSeparator) {
  AboutDialog about(nullptr);
  ASSERT_TRUE(about.Show(nullptr));
  if (GetUserDefaultLCID() == 0x0407) {
    EXPECT_EQ(WindowText(about.VersionLabel()), "Version 5,2  build 1000");
  } else {
    EXPECT_EQ(WindowText(about.VersionLabel()), "Version 5" + UserDecimalSeparator() + "2  build 1000");
  }
  Press(about.hwnd(), IDOK);
  EXPECT_EQ(about.hwnd(), nullptr);
}

TEST_F(DialogsTest, EveryWayOfClosingTheProgressDialogAsksToStop) {
  int cancels = 0;
  auto show = [](ProgressDialog& p) { ASSERT_TRUE(p.Show(nullptr)); };
  {
    ProgressDialog progress([&] { ++cancels; });
    show(progress);
    wchar_t caption[32] = {};
    GetWindowTextW(progress.hwnd(), caption, 32);
    EXPECT_STREQ(caption, L"Analyzing...");
    EXPECT_EQ(SendMessageW(progress.Bar(), PBM_GETRANGE, FALSE, 0), 100);
    progress.SetMaximum(500);
    progress.SetValue(10);
    progress.SetLabel("Records: 10");
    EXPECT_EQ(SendMessageW(progress.Bar(), PBM_GETRANGE, FALSE, 0), 500);
    EXPECT_EQ(SendMessageW(progress.Bar(), PBM_GETPOS, 0, 0), 10);
    EXPECT_EQ(WindowText(progress.RecordsLabel()), "Records: 10");
    EXPECT_EQ(WindowText(GetDlgItem(progress.hwnd(), IDCANCEL)), "Cancel");
    Press(progress.hwnd(), IDCANCEL);
    EXPECT_GE(cancels, 1);
    EXPECT_EQ(progress.hwnd(), nullptr);
    progress.SetValue(20);  // the caller may go on updating a closed dialog
  }
  {
    cancels = 0;
    ProgressDialog progress([&] { ++cancels; });
    show(progress);
    SendMessageW(progress.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_GE(cancels, 1);
    EXPECT_EQ(progress.hwnd(), nullptr);
  }
  {
    cancels = 0;
    ProgressDialog progress([&] { ++cancels; });
    show(progress);
    progress.Close();
    EXPECT_GE(cancels, 1);
  }
}

TEST_F(DialogsTest, ASecondOptionsOrAboutBringsTheOpenOneForward) {
  ViewerServices services = MakeViewerServices(&settings_);
  auto count = [](const wchar_t* cls) {
    int n = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, cls, nullptr); w; w = FindWindowExW(nullptr, w, cls, nullptr)) {
      if (IsWindowVisible(w)) ++n;
    }
    return n;
  };
  services.showOptions(nullptr);
  services.showOptions(nullptr);
  services.showAbout(nullptr);
  services.showAbout(nullptr);
  EXPECT_EQ(count(L"TracemereOptions"), 1);
  EXPECT_EQ(count(L"TracemereAbout"), 1);
  SendMessageW(FindWindowW(L"TracemereOptions", nullptr), WM_CLOSE, 0, 0);
  EXPECT_EQ(count(L"TracemereOptions"), 0);
  services.showOptions(nullptr);  // a new one after the first has closed
  EXPECT_EQ(count(L"TracemereOptions"), 1);
  SendMessageW(FindWindowW(L"TracemereOptions", nullptr), WM_CLOSE, 0, 0);
  SendMessageW(FindWindowW(L"TracemereAbout", nullptr), WM_CLOSE, 0, 0);

  // The progress hooks drive one dialog.
  bool cancelled = false;
  services.showProgress(nullptr, 40, [&] { cancelled = true; });
  services.setProgress(4, "Records: 4");
  HWND progress = FindWindowW(L"TracemereProgress", nullptr);
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(SendMessageW(GetDlgItem(progress, ProgressDialog::kProgressBar), PBM_GETRANGE, FALSE, 0), 40);
  services.closeProgress();
  EXPECT_FALSE(IsWindow(progress));
  EXPECT_TRUE(cancelled);
}

}  // namespace
}  // namespace tmr
