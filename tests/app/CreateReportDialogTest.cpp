// The report dialog as a real window, writing real reports.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "app/CreateReportDialog.h"
#include "app/MainWindow.h"
#include "app/ViewerServices.h"
#include "core/ProgramState.h"
#include "platform/DialogLayout.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "report/ReportSections.h"
#include "support/BrowserTestSupport.h"
#include "support/FakeCategories.h"
#include "support/RealHives.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

// The report's text, from UTF-16 with its mark, split at CR LF.
std::vector<std::string> ReportLines(const fs::path& file, bool* wellFormed) {
  std::string bytes = test::ReadFileBytes(file);
  *wellFormed = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE' && bytes.size() % 2 == 0;
  std::wstring text((bytes.size() - 2) / 2, L'\0');
  if (!text.empty()) std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      *wellFormed = false;  // every line ends in CR LF
      break;
    }
    std::wstring line = text.substr(start, end - start);
    if (line.find(L'\n') != std::wstring::npos || line.find(L'\r') != std::wstring::npos) *wellFormed = false;
    lines.push_back(Narrow(line));
    start = end + 2;
  }
  return lines;
}

size_t Count(const std::vector<std::string>& lines, const std::string& part) {
  return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                           [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

// The sections of the groups ticked when the dialog opens.
std::size_t DefaultSections() {
  std::size_t sections = 0;
  for (const CategoryInfo& category : Categories().categories) {
    sections += Categories().Of(category.report.group).tickedByDefault ? 1 : 0;
  }
  return sections;
}

void ReadAsTheReportDoes(const CategoryInfo& category, RowSink& rows, ReadProgress& progress) {
  ReadSectionRows(category, rows, progress);
}

class CreateReportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OsVersion = "Vista";
    ReportFolder = profile_.Root().string() + "\\";
    SetShellOpenHook([this](HWND, const std::string& target, int show) {
      opened_.push_back(target + " show=" + std::to_string(show));
    });
    SetMessageHook([this](HWND, const std::string& text, const std::string&, UINT) {
      messages_.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    SetShellOpenHook(nullptr);
    SetMessageHook(nullptr);
    SetFileDialogHook(nullptr);
  }
  void Press(CreateReportDialog& dialog, int id) {
    SendMessageW(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
  bool Ticked(CreateReportDialog& dialog, ReportGroup group) {
    return SendMessageW(dialog.GroupBox(group), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  test::BrowserProfile profile_;
  std::vector<std::string> opened_;
  std::vector<std::string> messages_;
};

TEST_F(CreateReportDialogTest, LoadsWithDefaultsAndTrimsTheReportFolder) {
  CreateReportDialog dialog(Categories(), ReadAsTheReportDoes);
  ASSERT_TRUE(dialog.Show(nullptr));
  EXPECT_EQ(WindowText(dialog.hwnd()), "Create Report");
  for (ReportGroup group :
       {ReportGroup::kInternetExplorer, ReportGroup::kWindows, ReportGroup::kFirefox, ReportGroup::kChrome}) {
    EXPECT_TRUE(Ticked(dialog, group)) << static_cast<int>(group);
  }
  EXPECT_FALSE(Ticked(dialog, ReportGroup::kIndexFile));
  EXPECT_EQ(WindowText(dialog.GroupBox(ReportGroup::kIndexFile)), "Index.dat file");
  EXPECT_EQ(WindowText(dialog.GroupBox(ReportGroup::kChrome)), "Google Chrome");
  EXPECT_EQ(WindowText(dialog.Control(CreateReportDialog::kStartButton)), "Start Create Report");
  EXPECT_FALSE(IsWindowVisible(dialog.Control(CreateReportDialog::kProgressBar)));
  EXPECT_FALSE(IsWindowVisible(dialog.Control(CreateReportDialog::kSkipButton)));
  EXPECT_EQ(ReportFolder, profile_.Root().string());
  EXPECT_EQ(WindowText(dialog.Control(CreateReportDialog::kReportFileEdit)),
            profile_.Root().string() + "\\Report_for_" + GetComputerNameText() + ".htm");
  EXPECT_EQ(GetUserNameText().find('\0'), std::string::npos);

  std::optional<std::string> answer = std::string("D:\\x\\mine.htm\0junk", 18);
  FileDialogRequest seen;
  SetFileDialogHook([&](const FileDialogRequest& r, bool save) {
    EXPECT_TRUE(save);
    seen = r;
    return answer;
  });
  Press(dialog, CreateReportDialog::kBrowseButton);
  EXPECT_EQ(WindowText(dialog.Control(CreateReportDialog::kReportFileEdit)), "D:\\x\\mine.htm");
  EXPECT_EQ(seen.title, "Save Report File");
  EXPECT_EQ(seen.initialFolder, ReportFolder);
  answer.reset();
  Press(dialog, CreateReportDialog::kBrowseButton);
  EXPECT_EQ(WindowText(dialog.Control(CreateReportDialog::kReportFileEdit)), "D:\\x\\mine.htm");
}

TEST_F(CreateReportDialogTest, CreateReportFromTheMainWindowWritesAndOpensThePage) {
  if (test::HaveRealHive(L"ntuser-win7.reg")) test::ScratchRegistry::ImportRegFile(test::RealHive(L"ntuser-win7.reg"));
  profile_.PointShellFolders();
  profile_.CopyFixture("chrome/History-schema20", profile_.ChromeFolder() / "History");
  profile_.CopyFixture("firefox/places.sqlite", profile_.FirefoxFolder() / "places.sqlite");
  MainWindow viewer(Categories(), MakeViewerServices(nullptr));
  ASSERT_TRUE(viewer.Create(SW_SHOWNORMAL));
  viewer.Command(MainWindow::kMenuCreateReport);
  HWND dialog = FindWindowW(L"TracemereCreateReport", nullptr);
  ASSERT_NE(dialog, nullptr);
  fs::path report = profile_.Root() / "report.htm";
  SetWindowTextW(GetDlgItem(dialog, CreateReportDialog::kReportFileEdit), report.wstring().c_str());
  SendMessageW(GetDlgItem(dialog, CreateReportDialog::kStartButton), BM_CLICK, 0, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return !opened_.empty(); }, 60000));
  EXPECT_EQ(opened_, std::vector<std::string>{test::Utf8(report) + " show=0"});
  EXPECT_FALSE(IsWindow(dialog));  // the dialog closed itself
  EXPECT_TRUE(messages_.empty());

  bool wellFormed = false;
  std::vector<std::string> lines = ReportLines(report, &wellFormed);
  EXPECT_TRUE(wellFormed);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "</body></html>");
  // Every group ticked at first (not the index file, not the timeline).
  EXPECT_EQ(Count(lines, "<a href=\"#top\">return to top</a>"), DefaultSections());
  EXPECT_EQ(Count(lines, "<a name=\"Internet_Explorer-Index.dat File\">"), 0u);
  // Chrome's 55 URLs, hidden ones included, in 4-cell rows.
  auto section = std::find(lines.begin(), lines.end(), "Chrome-URL History</a></td></tr>");
  auto next = std::find(section, lines.end(), "</table>");
  EXPECT_EQ(std::count_if(section, next, [](const std::string& l) { return l.rfind("<tr><td  class=", 0) == 0; }), 55);
  // The hive's share: in the Run box's list and among the folders opened.
  EXPECT_EQ(Count(lines, ">\\\\controller\\WebDavShare</td>"), test::HaveRealHive(L"ntuser-win7.reg") ? 2u : 0u);
  EXPECT_FALSE(fs::exists(report.string() + ".partial"));
}

TEST_F(CreateReportDialogTest, AFileThatCannotBeWrittenIsReportedAndLeftOut) {
  CreateReportDialog dialog(Categories(), ReadAsTheReportDoes);
  ASSERT_TRUE(dialog.Show(nullptr));
  fs::path report = profile_.Root() / "missing" / "report.htm";
  SetWindowTextW(dialog.Control(CreateReportDialog::kReportFileEdit), report.wstring().c_str());
  Press(dialog, CreateReportDialog::kStartButton);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("could not be written"), std::string::npos);
  EXPECT_TRUE(opened_.empty());
  EXPECT_NE(dialog.hwnd(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(dialog.Control(CreateReportDialog::kStartButton)));
  EXPECT_FALSE(fs::exists(report));
}

TEST_F(CreateReportDialogTest, SkipAndASecondStartDuringTheWriting) {
  CreateReportDialog* self = nullptr;
  int windowsRuns = 0;
  bool skipVisibleDuringIndex = false;
  bool skipSeen = false;
  bool windowsGoOn = false;
  CreateReportDialog dialog(Categories(), [&](const CategoryInfo& category, RowSink& rows, ReadProgress& progress) {
    if (category.id == Category::kIeIndexFile) {
      skipVisibleDuringIndex = IsWindowVisible(self->Control(CreateReportDialog::kSkipButton)) != FALSE;
      SendMessageW(self->Control(CreateReportDialog::kSkipButton), BM_CLICK, 0, 0);
      skipSeen = !progress.KeepGoing();
      rows.AddRow("http://x/");
    } else if (category.id == Category::kRecentDocuments) {
      ++windowsRuns;
      self->StartCreateReport();  // a second press while writing
      // "skip" stopped the index file's section only.
      windowsGoOn = progress.KeepGoing();
      rows.AddRow("C:\\a.lnk");
    }
  });
  self = &dialog;
  ASSERT_TRUE(dialog.Show(nullptr));
  SendMessageW(dialog.GroupBox(ReportGroup::kIndexFile), BM_SETCHECK, BST_CHECKED, 0);
  fs::path report = profile_.Root() / "r.htm";
  SetWindowTextW(dialog.Control(CreateReportDialog::kReportFileEdit), report.wstring().c_str());
  Press(dialog, CreateReportDialog::kStartButton);
  EXPECT_TRUE(skipVisibleDuringIndex);
  EXPECT_TRUE(skipSeen);
  EXPECT_EQ(windowsRuns, 1);
  EXPECT_TRUE(windowsGoOn);
  EXPECT_EQ(opened_.size(), 1u);
  bool wellFormed = false;
  std::vector<std::string> lines = ReportLines(report, &wellFormed);
  EXPECT_EQ(Count(lines, ">http://x/</td>"), 1u);
}

// Esc while a report is written asks first: No writes the whole report,
// Yes leaves no file.
TEST_F(CreateReportDialogTest, EscDuringTheWritingAsksBeforeDroppingTheReport) {
  for (int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer == IDYES ? "yes" : "no");
    std::vector<std::string> asked;
    SetMessageHook([&](HWND, const std::string& text, const std::string& title, UINT buttons) {
      asked.push_back(title + ": " + text + (buttons == MB_YESNO ? " [yes/no]" : ""));
      return answer;
    });
    opened_.clear();
    CreateReportDialog* self = nullptr;
    bool goOn = false;
    bool focusInDialog = false;
    CreateReportDialog dialog(Categories(), [&](const CategoryInfo& category, RowSink& rows, ReadProgress& progress) {
      if (category.id == Category::kIeTypedUrls) {
        // Esc as the user presses it: to the window that has the focus,
        // which must be one of the dialog's.
        HWND focused = GetFocus();
        focusInDialog = focused && IsChild(self->hwnd(), focused);
        if (focused) PostMessageW(focused, WM_KEYDOWN, VK_ESCAPE, 0);
        for (int i = 0; i < 100 && asked.empty(); ++i) {
          Sleep(10);
          progress.KeepGoing();
        }
        goOn = progress.KeepGoing();
      }
      rows.AddRow("row of " + std::string(category.key));
    });
    self = &dialog;
    ASSERT_TRUE(dialog.Show(nullptr));
    fs::path report = profile_.Root() / "esc.htm";
    SetWindowTextW(dialog.Control(CreateReportDialog::kReportFileEdit), report.wstring().c_str());
    Press(dialog, CreateReportDialog::kStartButton);
    EXPECT_TRUE(focusInDialog);
    EXPECT_EQ(asked, (std::vector<std::string>{
                         "Tracemere: Stop writing the report? The part written so far is discarded. [yes/no]"}));
    EXPECT_EQ(dialog.hwnd(), nullptr);  // closed either way
    if (answer == IDNO) {
      EXPECT_TRUE(goOn);
      ASSERT_EQ(opened_.size(), 1u);
      bool wellFormed = false;
      std::vector<std::string> lines = ReportLines(report, &wellFormed);
      EXPECT_TRUE(wellFormed);
      EXPECT_EQ(Count(lines, "<a href=\"#top\">return to top</a>"), DefaultSections());
      EXPECT_EQ(lines.back(), "</body></html>");
    } else {
      EXPECT_FALSE(goOn);
      EXPECT_TRUE(opened_.empty());
      EXPECT_FALSE(fs::exists(report));
      EXPECT_FALSE(fs::exists(report.string() + ".partial"));
    }
    fs::remove(report);
  }
}

// One read at a time: a report started while a list is being read waits
// for that read, and a click on the tree while the report is written waits
// for the report. Neither runs inside the other.
TEST_F(CreateReportDialogTest, AReportAndAListAreNeverReadOneInsideTheOther) {
  test::FakeCategories fakes;
  int depth = 0;
  int deepest = 0;
  auto enter = [&] { deepest = std::max(deepest, ++depth); };
  CreateReportDialog* report = nullptr;
  bool waitedDuringTheList = false;
  fakes.Set(Category::kChromeUrlHistory, [&](const ReadContext&, RowSink& rows, ReadProgress& progress) {
    enter();
    if (fakes.Runs(Category::kChromeUrlHistory) == 1) {
      SendMessageW(report->Control(CreateReportDialog::kStartButton), BM_CLICK, 0, 0);
      waitedDuringTheList = report->WaitingToStart();
      for (int i = 0; i < 20; ++i) {
        progress.KeepGoing();
        Sleep(5);
      }
    }
    rows.AddRow("http://list/");
    --depth;
    return ReadOutcome::kRead;
  });
  MainWindow viewer(fakes.Table(), ViewerServices{});
  ASSERT_TRUE(viewer.Create(SW_SHOWNORMAL));
  bool clickWaited = false;
  CreateReportDialog dialog(fakes.Table(), [&](const CategoryInfo& category, RowSink& rows, ReadProgress& progress) {
    enter();
    if (category.id == Category::kIeTypedUrls) {
      viewer.ClickNodeByKey("d1");
      progress.KeepGoing();
      clickWaited = fakes.Runs(Category::kChromeUrlHistory) == 1;
    }
    rows.AddRow("row");
    --depth;
  });
  report = &dialog;
  ASSERT_TRUE(dialog.Show(nullptr));
  const fs::path page = profile_.Root() / "turns.htm";
  SetWindowTextW(dialog.Control(CreateReportDialog::kReportFileEdit), page.wstring().c_str());

  viewer.ClickCategory(Category::kChromeUrlHistory);
  EXPECT_TRUE(waitedDuringTheList);
  ASSERT_TRUE(test::WaitUntil([&] { return !opened_.empty(); }, 30000));
  ASSERT_TRUE(test::WaitUntil([&] { return fakes.Runs(Category::kChromeUrlHistory) == 2; }, 30000));
  EXPECT_TRUE(clickWaited);
  EXPECT_EQ(deepest, 1);
  EXPECT_TRUE(fs::exists(page));
  EXPECT_EQ(viewer.Model().RowCount(), 1u);
}

}  // namespace
}  // namespace tmr
