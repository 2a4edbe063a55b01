// What the real main window keeps in tmere.ini: "Times in UTC", its place
// and size, the tree's width and the column widths of each category.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "app/SettingsFile.h"
#include "platform/LocalTimeText.h"
#include "support/FakeCategories.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

RECT RectIn(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

bool UtcChecked(const MainWindow& v) {
  return (GetMenuState(GetMenu(v.hwnd()), MainWindow::kMenuTimesInUtc, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

class MainWindowViewTest : public ::testing::Test {
 protected:
  void TearDown() override {
    viewer_.reset();
    SetTimesInUtc(false);
  }
  MainWindow& Open() {
    ViewerServices services;
    services.settings = &ini_;
    viewer_ = std::make_unique<MainWindow>(fakes_.Table(), services);
    EXPECT_TRUE(viewer_->Create(SW_SHOWNORMAL));
    test::WaitUntil([] { return false; }, 50);
    return *viewer_;
  }
  // As the user closes it; the next start is another process, whose times
  // are local until its settings say otherwise.
  void Close() {
    SendMessageW(viewer_->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::WaitUntil([&] { return viewer_->hwnd() == nullptr; }, 2000));
    viewer_.reset();
    SetTimesInUtc(false);
  }
  std::string Stored(const char* section, const char* key) const { return ini_.GetSetting(section, key); }

  test::TempDir dir_;
  SettingsFile ini_{dir_.str() + "\\tmere.ini"};
  test::FakeCategories fakes_;
  std::unique_ptr<MainWindow> viewer_;
};

TEST_F(MainWindowViewTest, TimesInUtcIsACheckItemKeptInTheSettings) {
  MainWindow& v = Open();
  EXPECT_FALSE(UtcChecked(v));
  EXPECT_FALSE(TimesInUtc());
  SendMessageW(v.hwnd(), WM_COMMAND, MainWindow::kMenuTimesInUtc, 0);
  EXPECT_TRUE(UtcChecked(v));
  EXPECT_TRUE(TimesInUtc());
  EXPECT_EQ(Stored("view", "TimesInUtc"), "1");
  Close();

  MainWindow& again = Open();
  EXPECT_TRUE(TimesInUtc());
  EXPECT_TRUE(UtcChecked(again));
  SendMessageW(again.hwnd(), WM_COMMAND, MainWindow::kMenuTimesInUtc, 0);
  EXPECT_FALSE(TimesInUtc());
  EXPECT_FALSE(UtcChecked(again));
  EXPECT_EQ(Stored("view", "TimesInUtc"), "0");
}

TEST_F(MainWindowViewTest, PlaceTreeWidthAndColumnWidthsComeBackNextTime) {
  fakes_.SetRows(Category::kChromeUrlHistory, {{"http://a/"}});
  MainWindow& v = Open();
  const int dpi = v.Dpi();
  v.ClickCategory(Category::kChromeUrlHistory);
  v.List().SetColumnWidth(0, 250);

  // The bar between tree and list, dragged 80 pixels to the right.
  const RECT tree = RectIn(v.Tree().hwnd());
  const RECT list = RectIn(v.List().hwnd());
  ASSERT_LT(tree.right, list.left);
  const int y = (tree.top + tree.bottom) / 2;
  const int x = (tree.right + list.left) / 2;
  SendMessageW(v.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(v.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 80, y));
  SendMessageW(v.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x + 80, y));
  const RECT wider = RectIn(v.Tree().hwnd());
  EXPECT_NEAR(wider.right - tree.right, 80, 1);
  EXPECT_NEAR(RectIn(v.List().hwnd()).left - list.left, 80, 1);
  EXPECT_EQ(RectIn(v.FilterBox()).left, RectIn(v.List().hwnd()).left);
  // Further moves after the button is up move nothing.
  SendMessageW(v.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x + 200, y));
  EXPECT_EQ(RectIn(v.Tree().hwnd()).right, wider.right);
  const int treeWidth = v.TreeWidthTwips();
  EXPECT_NEAR(treeWidth, 2820 + PixelsToTwips(80, dpi), 15);

  SetWindowPos(v.hwnd(), nullptr, 30, 40, 700, 500, SWP_NOZORDER);
  const RECT place = ScreenRect(v.hwnd());
  // Leaving the category keeps its widths.
  v.ClickCategory(Category::kRunHistory);
  EXPECT_TRUE(Stored("ColumnWidths", "d1").starts_with(std::to_string(PixelsToTwips(250, dpi)) + ","));
  EXPECT_EQ(Stored("ColumnWidths", "b3"), "unknown value");  // untouched widths are not written
  Close();
  EXPECT_EQ(Stored("view", "TreeWidth"), std::to_string(treeWidth));
  EXPECT_EQ(Stored("view", "Window"), std::to_string(place.left) + "," + std::to_string(place.top) + "," +
                                          std::to_string(place.right) + "," + std::to_string(place.bottom) + ",0");

  MainWindow& again = Open();
  const RECT placeAgain = ScreenRect(again.hwnd());
  EXPECT_EQ(placeAgain.left, place.left);
  EXPECT_EQ(placeAgain.top, place.top);
  EXPECT_EQ(placeAgain.right, place.right);
  EXPECT_EQ(placeAgain.bottom, place.bottom);
  EXPECT_EQ(again.TreeWidthTwips(), treeWidth);
  EXPECT_EQ(RectIn(again.Tree().hwnd()).right - RectIn(again.Tree().hwnd()).left, wider.right - wider.left);
  again.ClickCategory(Category::kChromeUrlHistory);
  EXPECT_EQ(again.List().ColumnWidth(0), 250);
  EXPECT_EQ(again.List().ColumnWidth(1), TwipsToPixels(6000, dpi));

  // Maximised at the end, maximised at the next start.
  ShowWindow(again.hwnd(), SW_MAXIMIZE);
  Close();
  EXPECT_TRUE(Stored("view", "Window").ends_with(",1"));
  EXPECT_TRUE(IsZoomed(Open().hwnd()));
}

TEST_F(MainWindowViewTest, DamagedValuesLeaveTheDefaults) {
  dir_.Write("tmere.ini", "[view]\r\nWindow=0,0,50,50,0\r\nTreeWidth=wide\r\n[ColumnWidths]\r\nd1=100,200\r\n");
  fakes_.SetRows(Category::kChromeUrlHistory, {{"http://a/"}});
  MainWindow& v = Open();
  RECT client{};
  GetClientRect(v.hwnd(), &client);
  EXPECT_NEAR(client.right, TwipsToPixels(13020, v.Dpi()), 1);
  EXPECT_EQ(v.TreeWidthTwips(), 2820);
  v.ClickCategory(Category::kChromeUrlHistory);
  EXPECT_EQ(v.List().ColumnWidth(0), TwipsToPixels(6000, v.Dpi()));
}

}  // namespace
}  // namespace tmr
