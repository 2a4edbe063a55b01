// The ten Firefox and Chrome categories in the real main window, read from
// a profile holding the real fixture databases.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/MainWindow.h"
#include "categories/CategoryTable.h"
#include "core/ProgramState.h"
#include "core/TextUtil.h"
#include "platform/Clipboard.h"
#include "platform/FileDialogs.h"
#include "support/BrowserTestSupport.h"
#include "support/ScratchDatabase.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

struct Expectation {
  Category category;
  int columns;
  int rows;
  const char* firstColumnHeader;
  const char* panel1;
};

class BrowserWindowTest : public ::testing::Test {
 protected:
  MainWindow& Open() {
    viewer_ = std::make_unique<MainWindow>(Categories(), ViewerServices{});
    EXPECT_TRUE(viewer_->Create(SW_SHOWNORMAL));
    test::WaitUntil([] { return false; }, 50);
    return *viewer_;
  }

  test::BrowserProfile profile_;
  std::unique_ptr<MainWindow> viewer_;
};

TEST_F(BrowserWindowTest, EveryCategoryFillsTheWindowFromTheProfile) {
  profile_.CopyRealDatabases();
  const auto chrome = profile_.ChromeFolder();
  const auto firefox = profile_.FirefoxFolder();
  // No fixture holds these two files; small ones stand in.
  test::ScratchDatabase(chrome / "Top Sites")
      .Exec(
          "CREATE TABLE thumbnails(url TEXT, url_rank INTEGER, title TEXT);"
          "INSERT INTO thumbnails VALUES('http://b/',1,'B'),('http://a/',0,'A');");
  test::ScratchDatabase(firefox / "formhistory.sqlite")
      .Exec(
          "CREATE TABLE moz_formhistory(fieldname TEXT, value TEXT, timesused INTEGER, firstused INTEGER, "
          "lastused INTEGER);"
          "INSERT INTO moz_formhistory VALUES('q','cats',2,1262304000000000,1262304000000000);");

  const Expectation expectations[] = {
      {Category::kFirefoxUrlHistory, 3, 1, "URLs History", "Double Click to view"},
      {Category::kFirefoxCookies, 4, 13, "Host", ""},
      {Category::kFirefoxDownloads, 4, 1, "File Name", "Double Click to view"},
      {Category::kFirefoxInputHistory, 1, 0, "Firefox Input History", ""},
      {Category::kFirefoxFormHistory, 5, 1, "Field Name", ""},
      {Category::kChromeUrlHistory, 4, 30, "URL History", "Double Click to view"},
      {Category::kChromeCookies, 4, 5, "Host", ""},
      {Category::kChromeDownloads, 3, 2, "File Name", "Double Click to view"},
      {Category::kChromeTopSites, 3, 2, "URL", "Double Click to view"},
      {Category::kChromeKeywords, 1, 3, "Keyword Searched", ""},
  };
  MainWindow& v = Open();
  for (const Expectation& e : expectations) {
    v.ClickCategory(e.category);
    const auto key = Categories().Of(e.category).key;
    ListView list = v.List();
    EXPECT_TRUE(IsWindowVisible(list.hwnd())) << key;
    EXPECT_EQ(list.ColumnCount(), e.columns) << key;
    EXPECT_EQ(list.ColumnHeader(0), e.firstColumnHeader) << key;
    EXPECT_EQ(list.ItemCount(), e.rows) << key;
    EXPECT_EQ(v.Status().Text(1), e.panel1) << key;
    EXPECT_EQ(v.Status().Text(2), "Total Records: " + std::to_string(e.rows)) << key;
  }
  v.ClickCategory(Category::kChromeTopSites);
  EXPECT_EQ(v.List().ItemText(0, 0), "http://a/");
  v.ClickCategory(Category::kChromeKeywords);
  EXPECT_EQ(v.List().ItemText(1, 0), "really really funny cats");
  v.ClickCategory(Category::kFirefoxUrlHistory);
  EXPECT_EQ(v.List().ItemText(0, 2), test::ExpectedPRTime("1309518981371935"));
}

// The filter, copy and export on the real history: the rows a word keeps
// are worked out here from the list's own texts before filtering.
TEST_F(BrowserWindowTest, AFilterOfAWordKeepsExactlyTheRowsHoldingItForCopyAndExport) {
  using Texts = std::vector<std::string>;
  profile_.CopyRealDatabases();
  MainWindow& v = Open();
  v.ClickCategory(Category::kChromeUrlHistory);
  ListView list = v.List();
  auto shownRows = [&] {
    std::vector<Texts> rows;
    for (int r = 0; r < list.ItemCount(); ++r) {
      rows.emplace_back();
      for (int c = 0; c < list.ColumnCount(); ++c) rows.back().push_back(list.ItemText(r, c));
    }
    return rows;
  };
  const std::vector<Texts> all = shownRows();
  std::vector<Texts> holding;
  for (const Texts& row : all) {
    if (std::any_of(row.begin(), row.end(), [](const std::string& cell) { return ContainsIgnoreCase(cell, "cats"); })) {
      holding.push_back(row);
    }
  }
  ASSERT_GT(holding.size(), 0u);
  ASSERT_LT(holding.size(), all.size());

  SetWindowTextW(v.FilterBox(), L"CATS");
  EXPECT_EQ(shownRows(), holding);
  EXPECT_EQ(v.Status().Text(2),
            "Total Records: " + std::to_string(holding.size()) + " of " + std::to_string(all.size()));

  test::PressKey(list.hwnd(), 'A', true);
  test::PressKey(list.hwnd(), 'C', true);
  Texts header;
  for (int c = 0; c < list.ColumnCount(); ++c) header.push_back(list.ColumnHeader(c));
  auto line = [](const Texts& cells) {
    std::string text;
    for (std::size_t i = 0; i < cells.size(); ++i) text += (i ? "\t" : "") + cells[i];
    return text + "\r\n";
  };
  std::string lines = line(header);
  for (const Texts& row : holding) lines += line(row);
  EXPECT_EQ(ClipboardText(v.hwnd()), lines);

  // Exported for the check by Python's csv module and a browser.
  const std::filesystem::path folder = TM_EXPORT_CHECK_DIR;
  std::filesystem::create_directories(folder);
  for (const char* name : {"chrome-history.csv", "chrome-history.htm"}) {
    std::filesystem::remove(folder / name);
    SetFileDialogHook([&](const FileDialogRequest&, bool) { return std::optional((folder / name).string()); });
    SendMessageW(v.hwnd(), WM_COMMAND, MainWindow::kMenuExportList, 0);
    EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
  }
  SetFileDialogHook(nullptr);
  test::WriteExportExpectation(folder / "chrome-history.expected.json", header, holding);
}

TEST_F(BrowserWindowTest, CancelDuringALongReadKeepsTheRowsSoFar) {
  constexpr int kRows = 200000;
  test::ScratchDatabase(profile_.ChromeFolder() / "History")
      .Exec(
          "CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT, title TEXT, visit_count INTEGER, "
          "last_visit_time INTEGER, hidden INTEGER);"
          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
          std::to_string(kRows) +
          ") INSERT INTO urls SELECT i,'http://site/'||i,'title '||i,1,13000000000000000+i,0 FROM n;");
  MainWindow& v = Open();
  // Waits in the queue until the read lets messages run.
  PostMessageW(v.hwnd(), WM_COMMAND, MainWindow::kCancelId, 0);
  v.ClickCategory(Category::kChromeUrlHistory);
  const int shown = v.List().ItemCount();
  EXPECT_GT(shown, 0);
  EXPECT_LT(shown, kRows);
  EXPECT_EQ(v.Status().Text(2), "Total Records: " + std::to_string(shown));
  EXPECT_EQ(v.List().ItemText(0, 0), "http://site/1");
}

}  // namespace
}  // namespace tmr
