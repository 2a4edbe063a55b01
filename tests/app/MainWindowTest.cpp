// The real main window under Xvfb, driven by the same paths as the user's
// clicks and read back from its controls.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "app/MainLayout.h"
#include "app/MainWindow.h"
#include "core/ProgramState.h"
#include "platform/FileDialogs.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "support/FakeCategories.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

struct Opened {
  std::string target;
  int show;
};

// Rows of two cells, the second made from the first.
std::vector<std::vector<std::string>> Rows(std::vector<std::string> firsts) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& first : firsts) rows.push_back({first, "title of " + first});
  return rows;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShellOpenHook([this](HWND, const std::string& target, int show) { opened_.push_back({target, show}); });
  }
  void TearDown() override {
    viewer_.reset();
    SetShellOpenHook(nullptr);
    SetFileDialogHook(nullptr);
  }
  MainWindow& Open(ViewerServices services = {}) {
    viewer_ = std::make_unique<MainWindow>(fakes_.Table(), std::move(services));
    EXPECT_TRUE(viewer_->Create(SW_SHOWNORMAL));
    test::WaitUntil([] { return false; }, 50);
    return *viewer_;
  }
  std::vector<std::string> ListColumn(int column) {
    std::vector<std::string> texts;
    ListView list = viewer_->List();
    for (int r = 0; r < list.ItemCount(); ++r) texts.push_back(list.ItemText(r, column));
    return texts;
  }
  void Deliver() {
    test::WaitUntil([] { return false; }, 30);
  }

  test::FakeCategories fakes_;
  std::unique_ptr<MainWindow> viewer_;
  std::vector<Opened> opened_;
};

TEST_F(MainWindowTest, StartsWithTheWholeTreeExpandedAndEverythingEmpty) {
  MainWindow& v = Open();
  TreeView tree = v.Tree();
  struct Node {
    Category category;
    const char* text;
  };
  const std::vector<std::pair<const char*, std::vector<Node>>> expected = {
      {"Internet Explorer ",
       {{Category::kIeUrlHistory, "URL History"},
        {Category::kIeTypedUrls, "Address Bar"},
        {Category::kIeCookies, "Cookies"},
        {Category::kIeIndexFile, "Index.dat File"}}},
      {"Windows",
       {{Category::kRecentDocuments, "Recent Document"},
        {Category::kSearchHistory, "Search History"},
        {Category::kRunHistory, "Run History"},
        {Category::kOpenSaveHistory, "Open/Save History"},
        {Category::kLastVisited, "List Visited History"},
        {Category::kUsbStorage, "USB Storage History"},
        {Category::kFirstFolders, "First Folder (Win7)"},
        {Category::kTypedPaths, "Typed Paths (Win7)"},
        {Category::kJumpLists, "Jump Lists"},
        {Category::kProgramsRun, "Programs Run"},
        {Category::kFoldersOpened, "Folders Opened"},
        {Category::kRecycleBin, "Recycle Bin"},
        {Category::kPowerShellHistory, "PowerShell History"},
        {Category::kRemoteDesktop, "Remote Desktop"},
        {Category::kOfficeDocuments, "Office Documents"},
        {Category::kWindowsTimeline, "Windows Timeline"},
        {Category::kStartupPrograms, "Startup Programs"}}},
      {"Firefox",
       {{Category::kFirefoxUrlHistory, "URL History"},
        {Category::kFirefoxCookies, "Cookies"},
        {Category::kFirefoxDownloads, "Downloads"},
        {Category::kFirefoxInputHistory, "Input History"},
        {Category::kFirefoxFormHistory, "Form History"}}},
      {"Google Chrome",
       {{Category::kChromeUrlHistory, "URL History"},
        {Category::kChromeCookies, "Cookies"},
        {Category::kChromeDownloads, "Downloads"},
        {Category::kChromeTopSites, "Top Visted Sites"},
        {Category::kChromeKeywords, "Keyword Searched"}}},
      {"Microsoft Edge",
       {{Category::kEdgeUrlHistory, "URL History"},
        {Category::kEdgeCookies, "Cookies"},
        {Category::kEdgeDownloads, "Downloads"},
        {Category::kEdgeTopSites, "Top Visited Sites"},
        {Category::kEdgeKeywords, "Keyword Searched"}}},
      {"Timeline", {{Category::kTimeline, "Timeline"}}},
  };
  EXPECT_EQ(tree.Count(), 43);
  HTREEITEM root = tree.Root();
  for (const auto& [rootText, children] : expected) {
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(v.CategoryOf(root), nullptr);
    EXPECT_EQ(tree.Text(root), rootText);
    EXPECT_TRUE(tree.IsExpanded(root)) << rootText;
    HTREEITEM child = tree.Child(root);
    for (const Node& node : children) {
      ASSERT_NE(child, nullptr) << node.text;
      ASSERT_NE(v.CategoryOf(child), nullptr);
      EXPECT_EQ(v.CategoryOf(child)->id, node.category);
      EXPECT_EQ(tree.Text(child), node.text);
      EXPECT_EQ(tree.Child(child), nullptr);
      child = tree.Next(child);
    }
    EXPECT_EQ(child, nullptr);
    root = tree.Next(root);
  }
  EXPECT_EQ(root, nullptr);

  EXPECT_EQ(v.Status().Text(1), "");
  EXPECT_EQ(v.Status().Text(2), "");
  EXPECT_EQ(v.List().ColumnCount(), 0);
  EXPECT_EQ(v.List().ItemCount(), 0);
  EXPECT_FALSE(IsWindowVisible(v.CancelButton()));
  EXPECT_TRUE(IsWindowVisible(v.PromotionLabel()));
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(v.List().hwnd()) & LVS_EX_FULLROWSELECT);
}

// The tree is taller than the window: it opens at its first root all the
// same, not scrolled to wherever filling it left it.
TEST_F(MainWindowTest, TheTreeStartsAtItsTop) {
  MainWindow& v = Open();
  TreeView tree = v.Tree();
  ASSERT_LT(TreeView_GetVisibleCount(tree.hwnd()), static_cast<UINT>(tree.Count())) << "the tree fits its window";
  EXPECT_EQ(tree.FirstVisible(), tree.Root());
  RECT first{};
  tree.ItemRect(tree.Root(), first);
  EXPECT_EQ(first.top, 0);
}

// The status bar keeps the 255 twips the layout gives it, at any resolution
// (a run at 144 dots per inch names it in TM_EXPECTED_DPI).
TEST_F(MainWindowTest, StatusBarIs255TwipsHigh) {
  MainWindow& v = Open();
  wchar_t expected[16] = {};
  if (GetEnvironmentVariableW(L"TM_EXPECTED_DPI", expected, 16) > 0) {
    EXPECT_EQ(v.Dpi(), _wtoi(expected));
  }
  for (int width : {13020, 9000}) {
    RECT frame{0, 0, TwipsToPixels(width, v.Dpi()), TwipsToPixels(8055, v.Dpi())};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(v.hwnd(), GWL_STYLE)), TRUE, 0);
    SetWindowPos(v.hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT client{}, bar{}, label{};
    GetClientRect(v.hwnd(), &client);
    GetWindowRect(v.Status().hwnd(), &bar);
    GetWindowRect(v.PromotionLabel(), &label);
    MapWindowPoints(nullptr, v.hwnd(), reinterpret_cast<POINT*>(&bar), 2);
    MapWindowPoints(nullptr, v.hwnd(), reinterpret_cast<POINT*>(&label), 2);
    EXPECT_EQ(bar.bottom - bar.top, TwipsToPixels(255, v.Dpi()));
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(bar.right - bar.left, client.right);
    // The promotional label's line stays above the bar.
    EXPECT_LE(label.top + TwipsToPixels(240, v.Dpi()), bar.top);
  }
}

TEST_F(MainWindowTest, CaptionSizeAndMenus) {
  MainWindow& v = Open();
  wchar_t caption[64] = {};
  GetWindowTextW(v.hwnd(), caption, 64);
  EXPECT_STREQ(caption, L"Tracemere - This PC");
  RECT client{};
  GetClientRect(v.hwnd(), &client);
  EXPECT_NEAR(client.right, TwipsToPixels(13020, v.Dpi()), 1);
  EXPECT_NEAR(client.bottom, TwipsToPixels(8055, v.Dpi()), 1);

  auto itemText = [](HMENU menu, int pos) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(pos), text, 128, MF_BYPOSITION);
    return Narrow(text);
  };
  HMENU bar = GetMenu(v.hwnd());
  ASSERT_EQ(GetMenuItemCount(bar), 4);
  EXPECT_EQ(itemText(bar, 0), "File");
  EXPECT_EQ(itemText(bar, 1), "View");
  EXPECT_EQ(itemText(bar, 2), "Report");
  EXPECT_EQ(itemText(bar, 3), "Help");
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 7);
  EXPECT_EQ(itemText(file, 0), "Open Traces Folder...");
  EXPECT_EQ(itemText(file, 1), "This PC");
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(itemText(file, 3), "Export List...");
  EXPECT_EQ(GetMenuState(file, 4, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(itemText(file, 5), "Options");
  EXPECT_EQ(itemText(file, 6), "&Exit");
  HMENU view = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(view), 1);
  EXPECT_EQ(itemText(view, 0), "Times in UTC");
  EXPECT_EQ(GetMenuState(view, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
  HMENU report = GetSubMenu(bar, 2);
  EXPECT_EQ(itemText(report, 0), "Create Report");
  EXPECT_EQ(itemText(report, 1), "View Report");
  HMENU help = GetSubMenu(bar, 3);
  ASSERT_EQ(GetMenuItemCount(help), 6);
  EXPECT_EQ(itemText(help, 0), "Online Help");
  EXPECT_EQ(itemText(help, 1), "Check for new version");
  EXPECT_EQ(GetMenuState(help, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(GetMenuState(help, 4, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(itemText(help, 5), "About");
}

TEST_F(MainWindowTest, ClicksShowTheCategoryOfTheNodeAndRootsDoNothing) {
  fakes_.SetRows(Category::kChromeUrlHistory, Rows({"http://a/", "http://b/"}));
  MainWindow& v = Open();

  v.ClickCategory(Category::kChromeUrlHistory);
  EXPECT_EQ(fakes_.Runs(Category::kChromeUrlHistory), 1);
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"http://a/", "http://b/"}));
  EXPECT_EQ(ListColumn(1), (std::vector<std::string>{"title of http://a/", "title of http://b/"}));
  // Columns and status texts come from the category's row of the table.
  EXPECT_EQ(v.List().ColumnCount(), 4);
  EXPECT_EQ(v.List().ColumnHeader(0), "URL History");
  EXPECT_EQ(v.List().ColumnWidth(0), TwipsToPixels(6000, v.Dpi()));
  EXPECT_EQ(v.Status().Text(1), "Double Click to view");
  EXPECT_EQ(v.Status().Text(2), "Total Records: 2");

  // A root changes nothing.
  for (const TreeGroupInfo& group : fakes_.Table().treeGroups) {
    ASSERT_TRUE(v.ClickNodeByKey(group.key));
    EXPECT_EQ(v.List().ItemCount(), 2) << group.key;
    EXPECT_EQ(v.Status().Text(2), "Total Records: 2") << group.key;
  }

  // A second click on the selected node reads again.
  v.ClickCategory(Category::kChromeUrlHistory);
  v.ClickCategory(Category::kChromeUrlHistory);
  EXPECT_EQ(fakes_.Runs(Category::kChromeUrlHistory), 3);
  EXPECT_EQ(v.List().ItemCount(), 2);
}

TEST_F(MainWindowTest, MovingTheSelectionWithTheKeyboardRunsTheNewNode) {
  fakes_.SetRows(Category::kRunHistory, {{"cmd"}});
  fakes_.SetRows(Category::kOpenSaveHistory, {{"C:\\a.txt"}});
  MainWindow& v = Open();
  v.ClickCategory(Category::kRunHistory);
  ASSERT_EQ(fakes_.Runs(Category::kRunHistory), 1);
  SetFocus(v.Tree().hwnd());
  SendMessageW(v.Tree().hwnd(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(fakes_.Runs(Category::kOpenSaveHistory), 0);  // runs once the key has been handled
  EXPECT_TRUE(test::WaitUntil([&] { return fakes_.Runs(Category::kOpenSaveHistory) == 1; }, 2000));
  EXPECT_EQ(v.CategoryOf(v.Tree().Selection())->id, Category::kOpenSaveHistory);
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"C:\\a.txt"}));
  EXPECT_EQ(fakes_.Runs(Category::kRunHistory), 1);
}

TEST_F(MainWindowTest, DoubleClickDoesWhatTheSelectedCategoryAllows) {
  fakes_.SetRows(Category::kIeUrlHistory, Rows({"http://a/", "http://b/"}));
  fakes_.SetRows(Category::kSearchHistory, {{"words"}});
  fakes_.SetRows(Category::kIeIndexFile, {{std::string("http://x/\0\x01junk", 16)}});
  ViewerServices services;
  services.cookieFolder = [](const TraceSource&) { return "  C:\\Users\\me\\Cookies  "; };
  MainWindow& v = Open(services);

  v.ClickCategory(Category::kIeUrlHistory);
  v.DoubleClickRow();  // no row selected
  EXPECT_TRUE(opened_.empty());
  v.List().SelectRow(1);
  v.DoubleClickRow();
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0].target, "http://b/");
  EXPECT_EQ(opened_[0].show, SW_SHOWNORMAL);

  v.ClickCategory(Category::kSearchHistory);
  v.List().SelectRow(0);
  v.DoubleClickRow();
  EXPECT_EQ(opened_.size(), 1u);

  // The row text is handed over up to its first NUL, and shown so too.
  v.ClickCategory(Category::kIeIndexFile);
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"http://x/"}));
  v.List().SelectRow(0);
  v.DoubleClickRow();
  ASSERT_EQ(opened_.size(), 2u);
  EXPECT_EQ(opened_[1].target, "http://x/");

  // Under the cookies the cookie folder opens whatever the list holds.
  v.Tree().Select(v.ItemFor(Category::kIeCookies));
  v.DoubleClickRow();
  ASSERT_EQ(opened_.size(), 3u);
  EXPECT_EQ(opened_[2].target, "C:\\Users\\me\\Cookies");
}

TEST_F(MainWindowTest, ColumnClickSortsAndASecondClickReverses) {
  fakes_.SetRows(Category::kFirefoxUrlHistory, Rows({"b10", "a", "b9"}));
  MainWindow& v = Open();
  v.ClickCategory(Category::kFirefoxUrlHistory);
  NMLISTVIEW click{};
  click.hdr = {v.List().hwnd(), static_cast<UINT_PTR>(MainWindow::kListId), static_cast<UINT>(LVN_COLUMNCLICK)};
  click.iItem = -1;
  click.iSubItem = 0;
  SendMessageW(v.hwnd(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(v.Model().SortKey(), 0);
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"a", "b9", "b10"}));
  SendMessageW(v.hwnd(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"b10", "b9", "a"}));
  click.iSubItem = 1;
  SendMessageW(v.hwnd(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(v.Model().SortKey(), 1);
  // A new fill shows the reader's own order again.
  v.ClickCategory(Category::kFirefoxUrlHistory);
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"b10", "a", "b9"}));
}

TEST_F(MainWindowTest, ResizingBelow3200TwipsKeepsTheListWidth) {
  fakes_.SetRows(Category::kChromeUrlHistory, {{"x"}});
  MainWindow& v = Open();
  auto listRect = [&] {
    RECT r{};
    GetWindowRect(v.List().hwnd(), &r);
    return r;
  };
  RECT before = listRect();
  RECT frame{0, 0, TwipsToPixels(3000, v.Dpi()), TwipsToPixels(6000, v.Dpi())};
  AdjustWindowRectEx(&frame, GetWindowLongW(v.hwnd(), GWL_STYLE), TRUE, 0);
  SetWindowPos(v.hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
  RECT client{};
  GetClientRect(v.hwnd(), &client);
  ASSERT_LT(PixelsToTwips(client.right, v.Dpi()), 3200);
  RECT after = listRect();
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  // The height still follows the window, below the filter box.
  EXPECT_NEAR(after.bottom - after.top, TwipsToPixels(PixelsToTwips(client.bottom, v.Dpi()) - 1125, v.Dpi()), 1);

  // Minimising refuses every size and breaks nothing.
  ShowWindow(v.hwnd(), SW_MINIMIZE);
  ShowWindow(v.hwnd(), SW_RESTORE);
  EXPECT_TRUE(IsWindow(v.List().hwnd()));
}

TEST_F(MainWindowTest, AClickDuringALongReadCancelsItAndShowsTheNewCategory) {
  MainWindow* viewer = nullptr;
  fakes_.Set(Category::kFirefoxUrlHistory, [&](const ReadContext&, RowSink& rows, ReadProgress& progress) {
    for (int i = 0; i < 100000; ++i) {
      rows.AddRow("long " + std::to_string(i));
      if (i == 10) {
        PostMessageW(viewer->hwnd(), WM_APP + 1, 0,
                     reinterpret_cast<LPARAM>(viewer->ItemFor(Category::kChromeUrlHistory)));
      }
      Sleep(i > 10 ? 1 : 0);
      if (!progress.KeepGoing()) break;
    }
    return ReadOutcome::kRead;
  });
  fakes_.SetRows(Category::kChromeUrlHistory, {{"short"}});
  MainWindow& v = Open();
  viewer = &v;
  v.ClickCategory(Category::kFirefoxUrlHistory);
  EXPECT_EQ(fakes_.Runs(Category::kFirefoxUrlHistory), 1);
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"short"}));
  EXPECT_EQ(v.Status().Text(2), "Total Records: 1");
}

TEST_F(MainWindowTest, ClosingDuringALongReadWaitsForIt) {
  bool finished = false;
  MainWindow* viewer = nullptr;
  fakes_.Set(Category::kFirefoxCookies, [&](const ReadContext&, RowSink&, ReadProgress& progress) {
    PostMessageW(viewer->hwnd(), WM_CLOSE, 0, 0);
    for (int i = 0; i < 100000 && progress.KeepGoing(); ++i) Sleep(1);
    EXPECT_TRUE(IsWindow(viewer->hwnd()));
    finished = true;
    return ReadOutcome::kRead;
  });
  MainWindow& v = Open();
  viewer = &v;
  v.ClickCategory(Category::kFirefoxCookies);
  EXPECT_TRUE(finished);
  EXPECT_EQ(v.hwnd(), nullptr);
}

TEST_F(MainWindowTest, CancelButtonStopsTheReadAndHidesItself) {
  bool stopped = false;
  MainWindow* viewer = nullptr;
  fakes_.Set(Category::kIeIndexFile, [&](const ReadContext&, RowSink&, ReadProgress& progress) {
    progress.ShowCancelButton(true);
    EXPECT_TRUE(IsWindowVisible(viewer->CancelButton()));
    SendMessageW(viewer->CancelButton(), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(viewer->CancelButton()));
    stopped = !progress.KeepGoing();
    return ReadOutcome::kRead;
  });
  MainWindow& v = Open();
  viewer = &v;
  v.ClickCategory(Category::kIeIndexFile);
  EXPECT_TRUE(stopped);
}

// A read that is over within a moment never brings up the progress dialog;
// one that goes on does, with the count read so far, and closes it again.
TEST_F(MainWindowTest, OnlyAReadThatTakesAWhileShowsItsProgress) {
  std::vector<std::string> calls;
  ViewerServices services;
  services.showProgress = [&](HWND, double maximum, std::function<void()>) {
    calls.push_back("show " + std::to_string(static_cast<int>(maximum)));
  };
  services.setProgress = [&](double, const std::string& label) {
    if (calls.empty() || calls.back() != label) calls.push_back(label);
  };
  services.closeProgress = [&] { calls.push_back("close"); };
  auto readFor = [](DWORD ms) {
    return [ms](const ReadContext&, RowSink& rows, ReadProgress& progress) {
      progress.BeginProgress(1000);
      const ULONGLONG end = GetTickCount64() + ms;
      std::size_t added = 0;
      do {
        rows.AddRow("row");
        progress.SetProgressRecords(++added);
        Sleep(1);
      } while (progress.KeepGoing() && GetTickCount64() < end);
      progress.EndProgress();
      return ReadOutcome::kRead;
    };
  };
  fakes_.Set(Category::kFirefoxCookies, readFor(20));
  fakes_.Set(Category::kChromeCookies, readFor(700));
  MainWindow& v = Open(std::move(services));
  v.ClickCategory(Category::kFirefoxCookies);
  EXPECT_TRUE(calls.empty()) << calls.front();
  v.ClickCategory(Category::kChromeCookies);
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front(), "show 1000");
  EXPECT_TRUE(calls[1].starts_with("Records: ")) << calls[1];
  EXPECT_EQ(calls.back(), "close");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "close"), 1);
}

TEST_F(MainWindowTest, MenuCommandsOpenPagesDialogsAndReports) {
  SiteAddress = "http://127.0.0.1:8080";
  MakerPageAddress = "http://127.0.0.1:8080/sweep.htm";
  ReportFolder = "C:\\Reports";
  std::vector<std::string> calls;
  ViewerServices services;
  services.showOptions = [&](HWND) { calls.push_back("options"); };
  services.showAbout = [&](HWND) { calls.push_back("about"); };
  services.showCreateReport = [&](HWND, std::shared_ptr<const TraceSource>) { calls.push_back("report"); };
  services.checkVersion = [&](HWND, bool autoCheck) { calls.push_back(autoCheck ? "auto" : "asked"); };
  FileDialogRequest seen;
  std::optional<std::string> answer = "C:\\Reports\\Report_for_PC.htm";
  SetFileDialogHook([&](const FileDialogRequest& r, bool save) {
    EXPECT_FALSE(save);
    seen = r;
    return answer;
  });
  MainWindow& v = Open(services);
  for (int id :
       {MainWindow::kMenuOptions, MainWindow::kMenuAbout, MainWindow::kMenuCreateReport, MainWindow::kMenuNewVersion}) {
    SendMessageW(v.hwnd(), WM_COMMAND, static_cast<WPARAM>(id), 0);
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"options", "about", "report", "asked"}));

  SendMessageW(v.hwnd(), WM_COMMAND, MainWindow::kMenuOnlineHelp, 0);
  SendMessageW(v.hwnd(), WM_COMMAND, MainWindow::kMenuPromotion, 0);
  SendMessageW(v.hwnd(), WM_COMMAND, MainWindow::kMenuViewReport, 0);
  ASSERT_EQ(opened_.size(), 3u);
  EXPECT_EQ(opened_[0].target, "http://127.0.0.1:8080/support.htm");
  EXPECT_EQ(opened_[0].show, 0);
  EXPECT_EQ(opened_[1].target, "http://127.0.0.1:8080/sweep.htm");
  EXPECT_EQ(opened_[2].target, "C:\\Reports\\Report_for_PC.htm");
  EXPECT_EQ(opened_[2].show, 0);
  EXPECT_EQ(seen.title, "Save Report File");
  EXPECT_EQ(seen.filterDescription, "HTML file (*.htm)");
  EXPECT_EQ(seen.filterPattern, "*.htm");
  EXPECT_EQ(seen.initialFolder, "C:\\Reports");
  EXPECT_EQ(seen.bufferChars, 255u);
  EXPECT_EQ(seen.flags & 0x200000u, 0x200000u);

  answer.reset();  // the user cancels
  SendMessageW(v.hwnd(), WM_COMMAND, MainWindow::kMenuViewReport, 0);
  EXPECT_EQ(opened_.size(), 3u);

  // The promotional label opens the maker's page too.
  NMHDR link{v.PromotionLabel(), static_cast<UINT_PTR>(MainWindow::kLabelId), static_cast<UINT>(NM_CLICK)};
  SendMessageW(v.hwnd(), WM_NOTIFY, link.idFrom, reinterpret_cast<LPARAM>(&link));
  ASSERT_EQ(opened_.size(), 4u);
  EXPECT_EQ(opened_[3].target, "http://127.0.0.1:8080/sweep.htm");

  SendMessageW(v.hwnd(), WM_COMMAND, MainWindow::kMenuExit, 0);
  EXPECT_TRUE(test::WaitUntil([&] { return v.hwnd() == nullptr; }, 2000));
}

}  // namespace
}  // namespace tmr
