// Clicking the Windows nodes of the real main window, with a real user hive
// and the USB storage key of a real system hive loaded under a scratch
// registry, and a Recent folder of real files.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/MainLayout.h"
#include "app/MainWindow.h"
#include "app/ViewerServices.h"
#include "categories/CategoryTable.h"
#include "core/ProgramState.h"
#include "platform/Shell.h"
#include "support/RealHives.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

using Rows = std::vector<std::string>;

class WindowsCategoriesWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (test::LoadRealHive(scratch_, L"ntuser-win7.reg") == 0 || test::LoadRealHive(scratch_, L"usbstor.reg") == 0) {
      GTEST_SKIP() << "the converted hives are missing (hivexregedit?)";
    }
    // The hive's own Recent folder is on another machine.
    recent_.Write("StarFury.zip.lnk", "L");
    recent_.Write("htlhtl.pdf.lnk", "L");
    recent_.Write("AutomaticDestinations/1b4dd67f29cb1962.automaticDestinations-ms", "x");
    scratch_.SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       "Recent", recent_.str());
    savedOs_ = OsVersion;
    OsVersion = "Vista";
    SetShellOpenHook([this](HWND, const std::string& target, int) { opened_.push_back(target); });
    viewer_ = std::make_unique<MainWindow>(Categories(), ViewerServices{});
    ASSERT_TRUE(viewer_->Create(SW_SHOWNORMAL));
    test::WaitUntil([] { return false; }, 50);
  }
  void TearDown() override {
    viewer_.reset();
    SetShellOpenHook(nullptr);
    OsVersion = savedOs_;
  }
  Rows Column0() {
    Rows texts;
    ListView list = viewer_->List();
    for (int r = 0; r < list.ItemCount(); ++r) texts.push_back(list.ItemText(r, 0));
    return texts;
  }

  test::ScratchRegistry scratch_;
  test::TempDir recent_;
  std::string savedOs_;
  std::unique_ptr<MainWindow> viewer_;
  Rows opened_;
};

TEST_F(WindowsCategoriesWindowTest, EachWindowsNodeFillsTheListFromTheHive) {
  struct Case {
    Category category;
    const char* header;
    int width;
    const char* hint;
    Rows firstRows;
    size_t count;
  };
  const Case cases[] = {
      {Category::kSearchHistory, "Start Menu Search History", 8000, "", {"hyth", "rar.exe"}, 2},
      {Category::kRunHistory,
       "Start Menu Run History",
       8000,
       "Double Cilck to run",
       {"\\\\controller\\WebDavShare"},
       1},
      {Category::kOpenSaveHistory,
       "Open/Save History",
       6000,
       "",
       {"Firefox Setup 3.6.12.exe", "Firefox Setup 6.0.exe"},
       12},
      {Category::kLastVisited, "Last Visited History", 8000, "", {"iexplore.exe", "chrome.exe", "Skype.exe"}, 8},
      {Category::kUsbStorage, "USB Storage History", 8000, "", {"HP v100w USB Device"}, 1},
      {Category::kFirstFolders,
       "First Folder (Windows 7)",
       8000,
       "",
       {"C:\\Program Files (x86)\\Internet Explorer\\iexplore.exe"},
       2},
      {Category::kTypedPaths, "Type Paths (Windows 7)", 8000, "", {"\\\\controller"}, 1},
  };
  MainWindow& v = *viewer_;
  for (const Case& c : cases) {
    SCOPED_TRACE(Categories().Of(c.category).key);
    v.ClickCategory(c.category);
    ASSERT_EQ(v.List().ColumnCount(), 1);
    EXPECT_EQ(v.List().ColumnHeader(0), c.header);
    EXPECT_EQ(v.List().ColumnWidth(0), TwipsToPixels(c.width, v.Dpi()));
    Rows rows = Column0();
    EXPECT_EQ(rows.size(), c.count);
    rows.resize(std::min(rows.size(), c.firstRows.size()));
    EXPECT_EQ(rows, c.firstRows);
    EXPECT_EQ(v.Status().Text(1), c.hint);
    EXPECT_EQ(v.Status().Text(2), RecordCountText(c.count));
    // Nothing but the recent documents opens on a double-click.
    v.List().SelectRow(0);
    v.DoubleClickRow();
    EXPECT_TRUE(opened_.empty());
  }
}

TEST_F(WindowsCategoriesWindowTest, RecentDocumentsListAndOpenTheFolderFiles) {
  MainWindow& v = *viewer_;
  v.ClickCategory(Category::kRecentDocuments);
  EXPECT_EQ(v.List().ColumnHeader(0), "Recent Documents");
  EXPECT_TRUE(IsWindowVisible(v.List().hwnd()));
  Rows rows = Column0();
  std::sort(rows.begin(), rows.end());
  const Rows expected{recent_.str() + "\\StarFury.zip.lnk", recent_.str() + "\\htlhtl.pdf.lnk"};
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(v.Status().Text(1), "Double Click to open");
  EXPECT_EQ(v.Status().Text(2), "Total Records: 2");
  for (int r = 0; r < 2; ++r) {
    v.List().SelectRow(r);
    v.DoubleClickRow();
  }
  std::sort(opened_.begin(), opened_.end());
  EXPECT_EQ(opened_, expected);
}

}  // namespace
}  // namespace tmr
