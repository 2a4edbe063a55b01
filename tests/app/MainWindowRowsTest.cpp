// The rows of the real main window: the filter, selecting and copying, the
// list's menu and exporting, driven by the user's keys and commands.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/MainWindow.h"
#include "core/ProgramState.h"
#include "platform/Clipboard.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "support/FakeCategories.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

void Type(HWND edit, const std::string& text) {
  for (wchar_t c : Widen(text)) SendMessageW(edit, WM_CHAR, c, 0);
}

std::string MenuText(HMENU menu, int pos) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(pos), text, 128, MF_BYPOSITION);
  return Narrow(text);
}

bool Enabled(HMENU menu, int pos) {
  return (GetMenuState(menu, static_cast<UINT>(pos), MF_BYPOSITION) & MF_GRAYED) == 0;
}

// The common controls the program itself gets, by its manifest: version 6,
// which alone knows the filter box's cue text.
class ProgramControls {
 public:
  ProgramControls() {
    const std::wstring program = test::TestProgramFolder() + L"\\tracemere.exe";
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = program.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(1);
    context_ = CreateActCtxW(&context);
    if (context_ != INVALID_HANDLE_VALUE) ActivateActCtx(context_, &cookie_);
  }
  ~ProgramControls() {
    if (context_ == INVALID_HANDLE_VALUE) return;
    DeactivateActCtx(0, cookie_);
    ReleaseActCtx(context_);
  }
  ProgramControls(const ProgramControls&) = delete;
  ProgramControls& operator=(const ProgramControls&) = delete;

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

class MainWindowRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    controls_ = std::make_unique<ProgramControls>();
    SetShellOpenHook([this](HWND, const std::string& target, int) { opened_.push_back(target); });
    SetMessageHook([this](HWND, const std::string& text, const std::string&, UINT) {
      messages_.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    viewer_.reset();
    controls_.reset();
    SetShellOpenHook(nullptr);
    SetMessageHook(nullptr);
    SetFileDialogHook(nullptr);
  }
  MainWindow& Open() {
    viewer_ = std::make_unique<MainWindow>(fakes_.Table(), ViewerServices{});
    EXPECT_TRUE(viewer_->Create(SW_SHOWNORMAL));
    test::WaitUntil([] { return false; }, 50);
    return *viewer_;
  }
  Texts ListColumn(int column) {
    Texts texts;
    ListView list = viewer_->List();
    for (int r = 0; r < list.ItemCount(); ++r) texts.push_back(list.ItemText(r, column));
    return texts;
  }
  std::string Panel2() { return viewer_->Status().Text(2); }

  std::unique_ptr<ProgramControls> controls_;
  test::FakeCategories fakes_;
  std::unique_ptr<MainWindow> viewer_;
  Texts opened_;
  Texts messages_;
};

TEST_F(MainWindowRowsTest, TheFilterShowsTheRowsHoldingItAndANewFillKeepsIt) {
  fakes_.SetRows(Category::kChromeUrlHistory, {{"http://Alpha/", "A"}, {"http://beta/", "B"}, {"x", "ALPHABET"}});
  fakes_.SetRows(Category::kRunHistory, {{"alpha.exe"}, {"cmd"}});
  MainWindow& v = Open();
  EXPECT_EQ(CueText(v.FilterBox()), "Filter");
  v.ClickCategory(Category::kChromeUrlHistory);

  Type(v.FilterBox(), "alPHa");
  EXPECT_EQ(ListColumn(0), (Texts{"http://Alpha/", "x"}));
  EXPECT_EQ(Panel2(), "Total Records: 2 of 3");
  // A new fill, of this category or another, keeps the text and applies it.
  v.ClickCategory(Category::kChromeUrlHistory);
  EXPECT_EQ(WindowText(v.FilterBox()), "alPHa");
  EXPECT_EQ(ListColumn(0), (Texts{"http://Alpha/", "x"}));
  EXPECT_EQ(Panel2(), "Total Records: 2 of 3");
  v.ClickCategory(Category::kRunHistory);
  EXPECT_EQ(ListColumn(0), (Texts{"alpha.exe"}));
  EXPECT_EQ(Panel2(), "Total Records: 1 of 2");

  // Ctrl+F, from the list, puts the caret in the box; Esc there empties it.
  SetFocus(v.List().hwnd());
  test::SetControlKeyDown(true);
  PostMessageW(v.List().hwnd(), WM_KEYDOWN, 'F', 0);
  EXPECT_TRUE(test::WaitUntil([&] { return GetFocus() == v.FilterBox(); }, 2000));
  test::SetControlKeyDown(false);
  test::PressKey(v.FilterBox(), VK_ESCAPE);
  EXPECT_EQ(WindowText(v.FilterBox()), "");
  EXPECT_EQ(ListColumn(0), (Texts{"alpha.exe", "cmd"}));
  EXPECT_EQ(Panel2(), "Total Records: 2");
}

TEST_F(MainWindowRowsTest, APassTooLongForOneSliceEndsWhileMessagesRun) {
  constexpr int kRows = 400000;
  fakes_.Set(Category::kFirefoxUrlHistory, [](const ReadContext&, RowSink& rows, ReadProgress&) {
    for (int i = 0; i < kRows; ++i) {
      const std::string cell = (i % 1000 == 7 ? "Ü row " : "plain row ") + std::to_string(i) +
                               " of the test, long enough to take the search a while";
      rows.AddRow(cell);
    }
    return ReadOutcome::kRead;
  });
  MainWindow& v = Open();
  v.ClickCategory(Category::kFirefoxUrlHistory);
  ASSERT_EQ(v.List().ItemCount(), kRows);

  // A needle of letters outside ASCII alone takes the slowest search, many
  // times longer over these rows than a slice.
  SetWindowTextW(v.FilterBox(), L"\u00FC");
  ASSERT_TRUE(v.FilterPending());
  EXPECT_EQ(v.List().ItemCount(), kRows);  // the earlier rows, until the pass ends
  EXPECT_EQ(Panel2(), "Total Records: 400000");
  int pumpsWhilePending = 0;
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        pumpsWhilePending += v.FilterPending();
        return !v.FilterPending();
      },
      30000));
  EXPECT_GT(pumpsWhilePending, 1);
  EXPECT_EQ(v.List().ItemCount(), kRows / 1000);
  EXPECT_EQ(v.List().ItemText(0, 0), "Ü row 7 of the test, long enough to take the search a while");
  EXPECT_EQ(Panel2(), "Total Records: 400 of 400000");
}

TEST_F(MainWindowRowsTest, CtrlAAndCtrlCCopyTheHeaderAndTheSelectedRows) {
  fakes_.SetRows(Category::kChromeUrlHistory,
                 {{"http://a/", "tab\there", "1", "d1"}, {"http://b/", "two\r\nlines", "2", "d2"}, {"http://c/"}});
  MainWindow& v = Open();
  v.ClickCategory(Category::kChromeUrlHistory);
  SetWindowTextW(v.FilterBox(), L"http://");
  const HWND list = v.List().hwnd();
  SetClipboardText(v.hwnd(), "before");

  test::PressKey(list, 'C');        // without Ctrl: nothing
  test::PressKey(list, 'C', true);  // nothing selected: nothing
  EXPECT_EQ(ClipboardText(v.hwnd()), "before");
  test::PressKey(list, 'A', true);
  EXPECT_EQ(v.List().SelectedCount(), 3);
  test::PressKey(list, 'C', true);
  EXPECT_EQ(ClipboardText(v.hwnd()),
            "URL History\tTitle\tVisit Count\tLast Visited Time\r\n"
            "http://a/\ttab here\t1\td1\r\n"
            "http://b/\ttwo  lines\t2\td2\r\n"
            "http://c/\t\t\t\r\n");

  SetWindowTextW(v.FilterBox(), L"B/");
  test::PressKey(list, 'A', true);
  SendMessageW(v.hwnd(), WM_COMMAND, MainWindow::kMenuCopy, 0);
  EXPECT_EQ(ClipboardText(v.hwnd()),
            "URL History\tTitle\tVisit Count\tLast Visited Time\r\nhttp://b/\ttwo  lines\t2\td2\r\n");
}

TEST_F(MainWindowRowsTest, TypingTheStartOfARowSelectsIt) {
  fakes_.SetRows(Category::kRunHistory, {{"alpha.exe"}, {"Beta.exe"}, {"cmd"}, {"bravo.exe"}});
  MainWindow& v = Open();
  v.ClickCategory(Category::kRunHistory);
  const HWND list = v.List().hwnd();
  SetFocus(list);
  // A key's character, with its repeat count of one.
  auto key = [list](wchar_t c) { SendMessageW(list, WM_CHAR, c, 1); };
  // Letter case ignored; the keys typed in quick succession add up.
  key(L'b');
  EXPECT_EQ(v.List().SelectedRow(), 1);
  key(L'r');
  EXPECT_EQ(v.List().SelectedRow(), 3);
  // No row starts so: the selection stays where it was.
  key(L'x');
  EXPECT_EQ(v.List().SelectedRow(), 3);
}

TEST_F(MainWindowRowsTest, TheListsMenuOffersCopyOpenAndExport) {
  fakes_.SetRows(Category::kChromeUrlHistory, {{"http://a/"}, {"http://b/"}});
  fakes_.SetRows(Category::kChromeKeywords, {{"cats"}});
  MainWindow& v = Open();
  struct Expected {
    Category category;
    int selectedRow;
    bool copy;
    bool open;
  };
  const Expected cases[] = {
      {Category::kChromeUrlHistory, -1, false, false},
      {Category::kChromeUrlHistory, 1, true, true},
      {Category::kChromeKeywords, 0, true, false},  // no row action
      {Category::kIeCookies, -1, false, true},      // the cookie folder, whatever the row
  };
  for (const Expected& e : cases) {
    v.ClickCategory(e.category);
    v.List().SelectRow(e.selectedRow);
    HMENU menu = v.BuildListMenu();
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(MenuText(menu, 0), "Copy");
    EXPECT_EQ(MenuText(menu, 1), "Open");
    EXPECT_EQ(MenuText(menu, 3), "Export List...");
    EXPECT_EQ(Enabled(menu, 0), e.copy) << static_cast<int>(e.category);
    EXPECT_EQ(Enabled(menu, 1), e.open) << static_cast<int>(e.category);
    EXPECT_TRUE(Enabled(menu, 3));
    DestroyMenu(menu);
  }

  v.ClickCategory(Category::kChromeUrlHistory);
  v.List().SelectRow(1);
  SendMessageW(v.hwnd(), WM_COMMAND, MainWindow::kMenuOpen, 0);
  EXPECT_EQ(opened_, (Texts{"http://b/"}));

  // The menu key opens the real menu at the focused row; it is dismissed
  // here from a timer, as nothing else runs while a menu is open.
  static bool menuSeen;
  menuSeen = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
    menuSeen = FindWindowW(L"#32768", nullptr) != nullptr;
    EndMenu();
  });
  SendMessageW(v.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(v.List().hwnd()), -1);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(menuSeen);
}

class ExportTest : public MainWindowRowsTest {
 protected:
  // Exports through the real command with the dialog answered by `answer`.
  FileDialogRequest Export(std::optional<std::string> answer) {
    FileDialogRequest seen;
    SetFileDialogHook([&](const FileDialogRequest& request, bool save) {
      EXPECT_TRUE(save);
      seen = request;
      return answer;
    });
    SendMessageW(viewer_->hwnd(), WM_COMMAND, MainWindow::kMenuExportList, 0);
    return seen;
  }

  test::TempDir dir_;
};

TEST_F(ExportTest, WritesTheShownRowsInTheFormatItsNameAsksFor) {
  fakes_.SetRows(Category::kChromeUrlHistory, {{"http://b/", "B"}, {"skip"}, {"http://a/", "A, \"quoted\""}});
  ReportFolder = dir_.str();
  MainWindow& v = Open();
  v.ClickCategory(Category::kChromeUrlHistory);
  SetWindowTextW(v.FilterBox(), L"HTTP");
  v.ClickColumn(0);

  const FileDialogRequest seen = Export(dir_.str() + "\\list.csv");
  EXPECT_EQ(seen.title, "Export List");
  EXPECT_EQ(seen.filterDescription, "CSV file (*.csv)");
  ASSERT_EQ(seen.moreFilters.size(), 3u);
  EXPECT_EQ(seen.moreFilters[0].pattern, "*.txt");
  EXPECT_EQ(seen.moreFilters[1].pattern, "*.htm");
  EXPECT_EQ(seen.moreFilters[2].pattern, "*.jsonl");
  EXPECT_EQ(seen.initialFolder, dir_.str());
  EXPECT_EQ(seen.fileName, "Google Chrome URL History");
  const std::string csv =
      "\xEF\xBB\xBFURL History,Title,Visit Count,Last Visited Time\r\n"
      "http://a/,\"A, \"\"quoted\"\"\",,\r\n"
      "http://b/,B,,\r\n";
  EXPECT_EQ(dir_.Read("list.csv"), csv);

  const std::pair<const char*, std::string> named[] = {
      {"list.txt",
       "\xEF\xBB\xBFURL History\tTitle\tVisit Count\tLast Visited Time\r\nhttp://a/\tA, \"quoted\"\t\t\r\n"},
      {"list.HTM", "<!DOCTYPE html>"},
      {"list.jsonl", R"({"URL History":"http://a/","Title":"A, \"quoted\"","Visit Count":"","Last Visited Time":""})"
                     "\n"},
      {"list", csv},  // no extension of ours: the filter's form, the first when unknown
  };
  for (const auto& [name, start] : named) {
    Export(dir_.str() + "\\" + name);
    EXPECT_TRUE(dir_.Read(name).starts_with(start)) << name;
    EXPECT_FALSE(fs::exists(dir_.path() / (std::string(name) + ".partial"))) << name;
  }
  const std::string page = dir_.Read("list.HTM");
  EXPECT_NE(page.find("<tr><td>http://a/</td><td>A, &quot;quoted&quot;</td><td></td><td></td></tr>"),
            std::string::npos);
  EXPECT_EQ(page.find("skip"), std::string::npos);

  // An existing file is replaced whole.
  dir_.Write("old.csv", std::string(100000, 'x'));
  Export(dir_.str() + "\\old.csv");
  EXPECT_EQ(dir_.Read("old.csv"), csv);
  // Cancelled, nothing happens; where the file cannot be made, the user is
  // told and no file is left.
  Export(std::nullopt);
  EXPECT_TRUE(messages_.empty());
  Export(dir_.str() + "\\missing\\list.csv");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("could not be written"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_.path() / "missing"));
}

// Leaves a CSV and an HTML export of hostile cells, with the cells they
// must give, where tests/app/check_export.py reads them back with Python's
// csv module and a real browser.
TEST_F(ExportTest, HostileCellsForTheCheckByOtherReaders) {
  const std::vector<Texts> rows = {
      {"http://x/?a=1,2", "say \"hi\"", "1", "line1\r\nline2"},
      {"<script>document.title='owned'</script>", "<img src=x onerror=alert(1)>", "&amp; &lt;",
       "emoji \xF0\x9F\x98\x80 and \xF0\x9D\x84\x9E"},
      {"lone\nLF", "lone\rCR", "  spaced  ", ""},
      {"tab\tinside", "\xC3\xBCn\xC3\xAF\x63\xC3\xB6\x64\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC", "\"\"\""},
      {std::string("cut\0after", 9), "</td></tr></table><script>alert(2)</script>", ",", "\""},
  };
  fakes_.SetRows(Category::kChromeUrlHistory, rows);
  MainWindow& v = Open();
  v.ClickCategory(Category::kChromeUrlHistory);
  const fs::path folder = TM_EXPORT_CHECK_DIR;
  fs::create_directories(folder);
  for (const char* name : {"hostile.csv", "hostile.htm", "hostile.jsonl"}) {
    fs::remove(folder / name);
    Export((folder / name).string());
    ASSERT_TRUE(fs::exists(folder / name)) << name;
  }
  Texts header;
  for (int c = 0; c < v.List().ColumnCount(); ++c) header.push_back(v.List().ColumnHeader(c));
  test::WriteExportExpectation(folder / "hostile.expected.json", header, rows);
}

// Leaves a JSON Lines export of typed cells, with the values Python's json
// module must read back: numbers as numbers, times as their UTC instants to
// the microsecond, whatever zone the list shows them in.
TEST_F(ExportTest, TypedCellsForTheJsonCheck) {
  fakes_.Set(Category::kChromeUrlHistory, [](const ReadContext&, RowSink& rows, ReadProgress&) {
    const CellValue first[] = {CellValue::Text("http://x/"), CellValue::Text("X"), CellValue::Number(3),
                               CellValue::Time(1556370309000250)};
    const CellValue second[] = {CellValue::Text("http://y/"), CellValue::Text(""), CellValue::Number(-9000000000),
                                CellValue::Time(-11644473600000000)};
    rows.AddRow(first);
    rows.AddRow(second);
    return ReadOutcome::kRead;
  });
  MainWindow& v = Open();
  v.ClickCategory(Category::kChromeUrlHistory);
  const fs::path folder = TM_EXPORT_CHECK_DIR;
  fs::create_directories(folder);
  fs::remove(folder / "typed.jsonl");
  Export((folder / "typed.jsonl").string());
  ASSERT_TRUE(fs::exists(folder / "typed.jsonl"));
  std::ofstream(folder / "typed.expected.json", std::ios::binary)
      << R"({"header": ["URL History", "Title", "Visit Count", "Last Visited Time"], "typed": true,
"rows": [["http://x/", "X", 3, "2019-04-27T13:05:09.000250Z"], ["http://y/", "", -9000000000, "1601-01-01T00:00:00Z"]]})";
}

}  // namespace
}  // namespace tmr
