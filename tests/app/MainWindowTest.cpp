// The real main window under Xvfb, driven by the same paths as the user's
// clicks and read back from its controls.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/MainLayout.h"
#include "app/MainWindow.h"
#include "core/ProgramState.h"
#include "platform/FileDialogs.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

struct Opened {
  std::string target;
  int show;
};

// A source that lists fixed rows the way a real one does.
SourceFn FixedSource(std::vector<std::string> rows, int* runs = nullptr) {
  return [rows, runs](ListTarget& list) {
    if (runs) ++*runs;
    list.SetPanel(1, "Double Click to view");
    list.ClearList();
    list.AddColumn("URL", 5000);
    list.AddColumn("Title", 5000);
    list.SetListVisible(false);
    for (const auto& r : rows) list.AddRow({r, "title of " + r});
    list.SetListVisible(true);
    ShowRecordCount(list);
  };
}

class ViewerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShellOpenHook([this](HWND, const std::string& target, int show) { opened_.push_back({target, show}); });
    CancelRequested = false;
  }
  void TearDown() override {
    viewer_.reset();
    SetShellOpenHook(nullptr);
    SetFileDialogHook(nullptr);
  }
  MainWindow& Open(ViewerServices services = {}) {
    viewer_ = std::make_unique<MainWindow>(sources_, std::move(services));
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

  SourceTable sources_;
  std::unique_ptr<MainWindow> viewer_;
  std::vector<Opened> opened_;
};

TEST_F(ViewerWindowTest, StartsWithTheWholeCatalogueExpandedAndEverythingEmpty) {
  MainWindow& v = Open();
  TreeView tree = v.Tree();
  struct Node {
    const char* key;
    const char* text;
  };
  const std::vector<std::pair<Node, std::vector<Node>>> expected = {
      {{"root", "Internet Explorer "},
       {{"a1", "URL History"}, {"a2", "Address Bar"}, {"a3", "Cookies"}, {"a4", "Index.dat File"}}},
      {{"root2", "Windows"},
       {{"b1", "Recent Document"},
        {"b2", "Search History"},
        {"b3", "Run History"},
        {"b4", "Open/Save History"},
        {"b5", "List Visited History"},
        {"b6", "USB Storage History"},
        {"b7", "First Folder (Win7)"},
        {"b8", "Typed Paths (Win7)"}}},
      {{"root3", "Firefox"},
       {{"c1", "URL History"},
        {"c2", "Cookies"},
        {"c3", "Downloads"},
        {"c4", "Input History"},
        {"c5", "Form History"}}},
      {{"root4", "Google Chrome"},
       {{"d1", "URL History"},
        {"d2", "Cookies"},
        {"d3", "Downloads"},
        {"d4", "Top Visted Sites"},
        {"d5", "Keyword Searched"}}},
  };
  EXPECT_EQ(tree.Count(), 26);
  HTREEITEM root = tree.Root();
  for (const auto& [rootNode, children] : expected) {
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(v.KeyOf(root), rootNode.key);
    EXPECT_EQ(tree.Text(root), rootNode.text);
    EXPECT_TRUE(tree.IsExpanded(root)) << rootNode.key;
    HTREEITEM child = tree.Child(root);
    for (const Node& node : children) {
      ASSERT_NE(child, nullptr) << node.key;
      EXPECT_EQ(v.KeyOf(child), node.key);
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

TEST_F(ViewerWindowTest, CaptionSizeAndMenus) {
  MainWindow& v = Open();
  wchar_t caption[64] = {};
  GetWindowTextW(v.hwnd(), caption, 64);
  EXPECT_STREQ(caption, L"Tracemere");
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
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_EQ(itemText(bar, 0), "File");
  EXPECT_EQ(itemText(bar, 1), "Report");
  EXPECT_EQ(itemText(bar, 2), "Help");
  HMENU file = GetSubMenu(bar, 0);
  EXPECT_EQ(itemText(file, 0), "Options");
  EXPECT_EQ(itemText(file, 1), "&Exit");
  HMENU report = GetSubMenu(bar, 1);
  EXPECT_EQ(itemText(report, 0), "Create Report");
  EXPECT_EQ(itemText(report, 1), "View Report");
  HMENU help = GetSubMenu(bar, 2);
  ASSERT_EQ(GetMenuItemCount(help), 6);
  EXPECT_EQ(itemText(help, 0), "Online Help");
  EXPECT_EQ(itemText(help, 1), "Check for new version");
  EXPECT_EQ(GetMenuState(help, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(GetMenuState(help, 4, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(itemText(help, 5), "About");
}

TEST_F(ViewerWindowTest, ClicksDispatchByExactKeyAndRootsDoNothing) {
  int runs = 0;
  sources_.Register("d1", FixedSource({"http://a/", "http://b/"}, &runs));
  MainWindow& v = Open();

  ASSERT_TRUE(v.ClickNodeByKey("d1"));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"http://a/", "http://b/"}));
  EXPECT_EQ(ListColumn(1), (std::vector<std::string>{"title of http://a/", "title of http://b/"}));
  EXPECT_EQ(v.List().ColumnHeader(0), "URL");
  EXPECT_EQ(v.List().ColumnWidth(0), TwipsToPixels(5000, v.Dpi()));
  EXPECT_EQ(v.Status().Text(2), "Total Records: 2");

  // A root, and a category whose source is not there, change nothing.
  for (const char* key : {"root", "root4", "a1"}) {
    ASSERT_TRUE(v.ClickNodeByKey(key));
    EXPECT_EQ(v.List().ItemCount(), 2) << key;
    EXPECT_EQ(v.Status().Text(2), "Total Records: 2") << key;
    EXPECT_EQ(v.Status().Text(1), "Double Click to view") << key;
  }

  // A second click on the selected node runs the source again.
  v.ClickNodeByKey("d1");
  v.ClickNodeByKey("d1");
  EXPECT_EQ(runs, 3);
  EXPECT_EQ(v.List().ItemCount(), 2);
}

TEST_F(ViewerWindowTest, MovingTheSelectionWithTheKeyboardRunsTheNewNode) {
  int b3Runs = 0;
  int b4Runs = 0;
  sources_.Register("b3", FixedSource({"cmd"}, &b3Runs));
  sources_.Register("b4", FixedSource({"C:\\a.txt"}, &b4Runs));
  MainWindow& v = Open();
  v.ClickNodeByKey("b3");
  ASSERT_EQ(b3Runs, 1);
  SetFocus(v.Tree().hwnd());
  SendMessageW(v.Tree().hwnd(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(b4Runs, 0);  // runs once the key has been handled
  EXPECT_TRUE(test::WaitUntil([&] { return b4Runs == 1; }, 2000));
  EXPECT_EQ(v.KeyOf(v.Tree().Selection()), "b4");
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"C:\\a.txt"}));
  EXPECT_EQ(b3Runs, 1);
}

TEST_F(ViewerWindowTest, DoubleClickOpensWhatTheSelectedKeyAllows) {
  sources_.Register("a1", FixedSource({"http://a/", "http://b/"}));
  sources_.Register("b2", FixedSource({"words"}));
  sources_.Register("a4", [](ListTarget& list) {
    list.ClearList();
    list.AddColumn("URLs In Index.dat File", 8000);
    list.AddRow({std::string("http://x/\0\x01junk", 16)});
  });
  ViewerServices services;
  services.cookieFolder = [] { return "  C:\\Users\\me\\Cookies  "; };
  MainWindow& v = Open(services);

  v.ClickNodeByKey("a1");
  v.DoubleClickRow();  // no row selected
  EXPECT_TRUE(opened_.empty());
  v.List().SelectRow(1);
  v.DoubleClickRow();
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0].target, "http://b/");
  EXPECT_EQ(opened_[0].show, SW_SHOWNORMAL);

  v.ClickNodeByKey("b2");
  v.List().SelectRow(0);
  v.DoubleClickRow();
  EXPECT_EQ(opened_.size(), 1u);

  // The row text is handed over up to its first NUL, and shown so too.
  v.ClickNodeByKey("a4");
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"http://x/"}));
  v.List().SelectRow(0);
  v.DoubleClickRow();
  ASSERT_EQ(opened_.size(), 2u);
  EXPECT_EQ(opened_[1].target, "http://x/");

  // Under "a3" the cookie folder opens whatever the list holds.
  v.Tree().Select(v.ItemForKey("a3"));
  v.DoubleClickRow();
  ASSERT_EQ(opened_.size(), 3u);
  EXPECT_EQ(opened_[2].target, "C:\\Users\\me\\Cookies");
}

TEST_F(ViewerWindowTest, ColumnClickSortsAndASecondClickReverses) {
  sources_.Register("c1", FixedSource({"b10", "a", "b9"}));
  MainWindow& v = Open();
  v.ClickNodeByKey("c1");
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
  // A new fill shows the source's own order again.
  v.ClickNodeByKey("c1");
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"b10", "a", "b9"}));
}

TEST_F(ViewerWindowTest, ResizingBelow3200TwipsKeepsTheListWidth) {
  sources_.Register("d1", FixedSource({"x"}));
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
  // The height still follows the window.
  EXPECT_NEAR(after.bottom - after.top, TwipsToPixels(PixelsToTwips(client.bottom, v.Dpi()) - 750, v.Dpi()), 1);

  // Minimising refuses every size and breaks nothing.
  ShowWindow(v.hwnd(), SW_MINIMIZE);
  ShowWindow(v.hwnd(), SW_RESTORE);
  EXPECT_TRUE(IsWindow(v.List().hwnd()));
}

TEST_F(ViewerWindowTest, AClickDuringALongSourceCancelsItAndRunsAfterIt) {
  int longRuns = 0;
  MainWindow* viewer = nullptr;
  sources_.Register("c1", [&](ListTarget& list) {
    ++longRuns;
    CancelRequested = false;
    list.ClearList();
    list.AddColumn("URLs History", 8000);
    list.SetListVisible(false);
    for (int i = 0; i < 100000 && !CancelRequested; ++i) {
      list.AddRow({"long " + std::to_string(i)});
      if (i == 10) PostMessageW(viewer->hwnd(), WM_APP + 1, 0, reinterpret_cast<LPARAM>(viewer->ItemForKey("d1")));
      Sleep(i > 10 ? 1 : 0);
      list.DoEvents();
    }
    list.SetListVisible(true);
    ShowRecordCount(list);
  });
  sources_.Register("d1", FixedSource({"short"}));
  MainWindow& v = Open();
  viewer = &v;
  v.ClickNodeByKey("c1");
  EXPECT_EQ(longRuns, 1);
  EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"short"}));
  EXPECT_EQ(v.Status().Text(2), "Total Records: 1");
}

TEST_F(ViewerWindowTest, ClosingDuringALongSourceWaitsForIt) {
  bool finished = false;
  MainWindow* viewer = nullptr;
  sources_.Register("c2", [&](ListTarget& list) {
    CancelRequested = false;
    PostMessageW(viewer->hwnd(), WM_CLOSE, 0, 0);
    for (int i = 0; i < 100000 && !CancelRequested; ++i) {
      Sleep(1);
      list.DoEvents();
    }
    EXPECT_TRUE(IsWindow(viewer->hwnd()));
    finished = true;
  });
  MainWindow& v = Open();
  viewer = &v;
  v.ClickNodeByKey("c2");
  EXPECT_TRUE(finished);
  EXPECT_EQ(v.hwnd(), nullptr);
}

TEST_F(ViewerWindowTest, CancelButtonSetsTheFlagAndHidesItself) {
  MainWindow& v = Open();
  v.SetCancelVisible(true);
  EXPECT_TRUE(IsWindowVisible(v.CancelButton()));
  SendMessageW(v.CancelButton(), BM_CLICK, 0, 0);
  EXPECT_TRUE(CancelRequested);
  EXPECT_FALSE(IsWindowVisible(v.CancelButton()));
}

TEST_F(ViewerWindowTest, MenuCommandsOpenPagesDialogsAndReports) {
  SiteAddress = "http://127.0.0.1:8080";
  MakerPageAddress = "http://127.0.0.1:8080/sweep.htm";
  ReportFolder = "C:\\Reports";
  std::vector<std::string> calls;
  ViewerServices services;
  services.showOptions = [&](HWND) { calls.push_back("options"); };
  services.showAbout = [&](HWND) { calls.push_back("about"); };
  services.showCreateReport = [&](HWND) { calls.push_back("report"); };
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
