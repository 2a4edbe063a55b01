// The Internet Explorer nodes of the real main window, over the real
// history and cache containers, a real user hive's typed addresses and a
// cookie folder, all placed where a scratch registry's shell folders point.
#include <windows.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "app/IndexFileDialog.h"
#include "app/MainLayout.h"
#include "app/MainWindow.h"
#include "app/ViewerServices.h"
#include "categories/CategoryTable.h"
#include "core/IndexDatScanner.h"
#include "core/ProgramState.h"
#include "platform/FileDialogs.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "readers/ie/IeReaders.h"
#include "support/ContainerBuilder.h"
#include "support/RealHives.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

using Rows = std::vector<std::string>;

Rows VisibleRowsOfTheRule(const std::string& bytes) {
  Rows rows;
  ScanIndexBytes(bytes, [&](std::string_view row) {
    rows.emplace_back(row.substr(0, row.find('\0')));
    return true;
  });
  return rows;
}

// The progress dialog, if one is open.
HWND ProgressWindow() { return FindWindowW(L"TracemereProgress", nullptr); }

class IeCategoriesWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    history_ = test::ReadFixture("ie/History.IE5/index.dat");
    cache_ = test::ReadFixture("ie/Content.IE5/index.dat");
    if (history_.empty() || cache_.empty()) GTEST_SKIP() << "fixtures missing";
    hiveLoaded_ = test::LoadRealHive(scratch_, L"ntuser-win7.reg") > 0;
    temp_.Write("History/History.IE5/index.dat", history_);
    temp_.Write("Cache/Content.IE5/index.dat", cache_);
    temp_.Write("Cookies/gold_administrator@bing[1].txt", "MUID\n1234\nbing.com/\n");
    temp_.Write("Cookies/4QKQ1XJ2.txt", "SRCHD\nAF=NOFORM\nmsn.com/\n1024\n");
    temp_.Write("Cookies/index.dat", cache_);
    scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "History", temp_.str() + "\\History");
    scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "Cache", temp_.str() + "\\Cache");
    scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "Cookies", temp_.str() + "\\Cookies");
    savedOs_ = OsVersion;
    OsVersion = "xp";
    SetShellOpenHook([this](HWND, const std::string& target, int) { opened_.push_back(target); });
    viewer_ = std::make_unique<MainWindow>(Categories(), MakeViewerServices(nullptr));
    ASSERT_TRUE(viewer_->Create(SW_SHOWNORMAL));
    test::WaitUntil([] { return false; }, 50);
  }
  void TearDown() override {
    IndexFileDialog::SetShownHook(nullptr);
    viewer_.reset();
    SetShellOpenHook(nullptr);
    OsVersion = savedOs_;
    if (SUCCEEDED(com_)) CoUninitialize();
  }
  Rows Column(int column) {
    Rows texts;
    ListView list = viewer_->List();
    for (int r = 0; r < list.ItemCount(); ++r) texts.push_back(list.ItemText(r, column));
    return texts;
  }
  // The dialog answers OK with the given path (or the default it shows);
  // then runs `after`, still inside the dialog's loop.
  void AnswerIndexDialog(std::optional<std::string> path, std::function<void()> after = {}) {
    IndexFileDialog::SetShownHook([this, path, after](IndexFileDialog& dialog) {
      shownDefault_ = WindowText(dialog.PathEdit());
      ownerDisabled_ = !IsWindowEnabled(viewer_->hwnd());
      if (path) SetWindowTextW(dialog.PathEdit(), Widen(*path).c_str());
      PostMessageW(dialog.hwnd(), WM_COMMAND, IDOK, 0);
      if (after) after();
    });
  }
  static std::string WindowText(HWND hwnd) {
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    return Narrow(text);
  }

  HRESULT com_ = E_FAIL;
  test::ScratchRegistry scratch_;
  test::TempDir temp_;
  std::string history_, cache_, savedOs_, shownDefault_;
  bool hiveLoaded_ = false;
  bool ownerDisabled_ = false;
  std::unique_ptr<MainWindow> viewer_;
  Rows opened_;
};

TEST_F(IeCategoriesWindowTest, UrlHistoryAddressBarAndCookies) {
  MainWindow& v = *viewer_;
  v.ClickCategory(Category::kIeUrlHistory);
  ASSERT_EQ(v.List().ColumnCount(), 3);
  const char* headers[] = {"URL", "Title", "Last Visited"};
  const int widths[] = {5000, 5000, 2000};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(v.List().ColumnHeader(c), headers[c]);
    EXPECT_EQ(v.List().ColumnWidth(c), TwipsToPixels(widths[c], v.Dpi()));
  }
  Rows urls = Column(0);
  ASSERT_EQ(urls.size(), 15u);
  EXPECT_EQ(urls[0], "http://www.msn.com/?ocid=iehp");
  EXPECT_NE(Column(2)[0].find("2015"), std::string::npos);
  EXPECT_EQ(v.Status().Text(1), "Double Cilck to view");
  EXPECT_EQ(v.Status().Text(2), "Total Records: 15");
  v.List().SelectRow(0);
  v.DoubleClickRow();
  EXPECT_EQ(opened_, (Rows{"http://www.msn.com/?ocid=iehp"}));

  if (hiveLoaded_) {
    v.ClickCategory(Category::kIeTypedUrls);
    EXPECT_EQ(v.List().ColumnHeader(0), "URLs");
    EXPECT_EQ(v.List().ColumnWidth(0), TwipsToPixels(4000, v.Dpi()));
    Rows typed = Column(0);
    EXPECT_EQ(typed.size(), 13u);
    EXPECT_NE(std::find(typed.begin(), typed.end(), "http://cnn.com/"), typed.end());
    EXPECT_EQ(v.Status().Text(2), "Total Records: 13");
  }

  v.ClickCategory(Category::kIeCookies);
  EXPECT_EQ(v.List().ColumnHeader(0), "Cookies");
  Rows cookies = Column(0);
  std::sort(cookies.begin(), cookies.end());
  EXPECT_EQ(cookies, (Rows{"gold_administrator@bing[1].txt", "msn.com/"}));
  EXPECT_EQ(v.Status().Text(1), "Double click to view cookie folder");
  EXPECT_EQ(v.Status().Text(2), "Total Records: 2");
  EXPECT_TRUE(IsWindowVisible(v.List().hwnd()));
}

TEST_F(IeCategoriesWindowTest, IndexFileOfTheDefaultPathThroughTheDialog) {
  MainWindow& v = *viewer_;
  const std::string path = temp_.str() + "\\Cache\\Content.IE5\\index.dat";
  AnswerIndexDialog(std::nullopt);
  v.ClickCategory(Category::kIeIndexFile);
  EXPECT_EQ(shownDefault_, path);
  EXPECT_TRUE(ownerDisabled_);
  EXPECT_TRUE(IsWindowEnabled(v.hwnd()));
  EXPECT_EQ(v.List().ColumnHeader(0), "URLs In Index.dat File");
  EXPECT_EQ(v.List().ColumnWidth(0), TwipsToPixels(8000, v.Dpi()));
  const Rows expected = VisibleRowsOfTheRule(cache_);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(Column(0), expected);
  EXPECT_EQ(v.Status().Text(1), path);
  EXPECT_EQ(v.Status().Text(2), RecordCountText(expected.size()));
  EXPECT_FALSE(IsWindowVisible(v.CancelButton()));
  EXPECT_TRUE(IsWindowVisible(v.List().hwnd()));
  EXPECT_EQ(ProgressWindow(), nullptr);

  // The shell gets the address cut at its NUL.
  auto bing = std::find(expected.begin(), expected.end(), "http://www.bing.com/favicon.ico");
  ASSERT_NE(bing, expected.end());
  v.List().SelectRow(static_cast<int>(bing - expected.begin()));
  v.DoubleClickRow();
  EXPECT_EQ(opened_, (Rows{"http://www.bing.com/favicon.ico"}));
}

TEST_F(IeCategoriesWindowTest, IndexFileCancelledFromTheMainWindow) {
  MainWindow& v = *viewer_;
  // Dense with hits, so the scan is still running when the click arrives.
  std::string bytes(16 << 20, '.');
  for (size_t at = 0; at + 300 < bytes.size(); at += 256) bytes.replace(at, 3, "URL");
  const std::string big = temp_.Write("big/index.dat", bytes).string();
  // The click on Cancel is queued behind the dialog's OK, so the scan's
  // first pump handles it.
  AnswerIndexDialog(big, [&v] {
    PostMessageW(v.hwnd(), WM_COMMAND, MAKEWPARAM(MainWindow::kCancelId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(v.CancelButton()));
  });
  v.ClickCategory(Category::kIeIndexFile);
  size_t rows = Column(0).size();
  EXPECT_LT(rows, bytes.size() / 256);
  EXPECT_EQ(v.Status().Text(2), RecordCountText(rows));
  EXPECT_EQ(v.Status().Text(1), big);
  EXPECT_FALSE(IsWindowVisible(v.CancelButton()));
  EXPECT_EQ(ProgressWindow(), nullptr);
}

TEST_F(IeCategoriesWindowTest, IndexDialogCancelledLeavesOnlyTheHeader) {
  MainWindow& v = *viewer_;
  v.ClickCategory(Category::kIeCookies);
  IndexFileDialog::SetShownHook([](IndexFileDialog& dialog) { PostMessageW(dialog.hwnd(), WM_COMMAND, IDCANCEL, 0); });
  v.ClickCategory(Category::kIeIndexFile);
  EXPECT_EQ(v.List().ColumnCount(), 1);
  EXPECT_EQ(v.List().ItemCount(), 0);
  EXPECT_EQ(v.Status().Text(1), "Double click to view");
  EXPECT_EQ(v.Status().Text(2), "Total Records: 2");  // left as the cookies set it
}

// ---- the dialog on its own ----

class IndexDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "Cache", "C:\\Cache ");
    dialog_.Create(nullptr);
  }
  void TearDown() override { SetFileDialogHook(nullptr); }
  std::string Text() {
    wchar_t text[512] = {};
    GetWindowTextW(dialog_.PathEdit(), text, 512);
    return Narrow(text);
  }
  std::string Caption(int id) {
    wchar_t text[64] = {};
    GetWindowTextW(GetDlgItem(dialog_.hwnd(), id), text, 64);
    return Narrow(text);
  }

  test::ScratchRegistry scratch_;
  IndexFileDialog dialog_;
};

TEST_F(IndexDialogTest, DefaultAtLoadAndOnlyOkTakesABrowsedOrTypedPath) {
  wchar_t caption[64] = {};
  GetWindowTextW(dialog_.hwnd(), caption, 64);
  EXPECT_STREQ(caption, L"Choose Index.dat file");
  EXPECT_EQ(Caption(IndexFileDialog::kPathLabel), "Index.dat file location");
  EXPECT_EQ(Caption(IDOK) + Caption(IDCANCEL) + Caption(IndexFileDialog::kBrowseButton) +
                Caption(IndexFileDialog::kUseDefaultButton),
            "OKCancelBrowseUse Default");
  EXPECT_EQ(Text(), "C:\\Cache\\Content.IE5\\index.dat");
  EXPECT_EQ(dialog_.ChosenPath(), "C:\\Cache\\Content.IE5\\index.dat");

  std::vector<FileDialogRequest> asked;
  SetFileDialogHook([&](const FileDialogRequest& request, bool save) -> std::optional<std::string> {
    EXPECT_FALSE(save);
    asked.push_back(request);
    return std::string("D:\\picked\\index.dat");
  });
  dialog_.Browse();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].owner, dialog_.hwnd());
  EXPECT_EQ(asked[0].title, "Open Index.dat File");
  EXPECT_EQ(asked[0].filterDescription, "Index data file (*.dat)");
  EXPECT_EQ(asked[0].filterPattern, "*.dat");
  EXPECT_EQ(asked[0].initialFolder, "C:\\");
  EXPECT_EQ(asked[0].bufferChars, 257u);
  EXPECT_EQ(asked[0].flags, 0u);
  EXPECT_EQ(Text(), "D:\\picked\\index.dat");
  EXPECT_EQ(dialog_.ChosenPath(), "C:\\Cache\\Content.IE5\\index.dat");

  // Closing with the close box keeps the default.
  SendMessageW(dialog_.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(dialog_.Closed());
  EXPECT_EQ(dialog_.ChosenPath(), "C:\\Cache\\Content.IE5\\index.dat");

  SetWindowTextW(dialog_.PathEdit(), L"E:\\typed.dat");
  SendMessageW(dialog_.hwnd(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(dialog_.ChosenPath(), "E:\\typed.dat");

  SendMessageW(dialog_.hwnd(), WM_COMMAND, IndexFileDialog::kUseDefaultButton, 0);
  EXPECT_EQ(Text(), "C:\\Cache\\Content.IE5\\index.dat");
  EXPECT_EQ(dialog_.ChosenPath(), "C:\\Cache\\Content.IE5\\index.dat");

  SetFileDialogHook([](const FileDialogRequest&, bool) { return std::nullopt; });
  dialog_.Browse();  // cancelled: the box keeps its text
  EXPECT_EQ(Text(), "C:\\Cache\\Content.IE5\\index.dat");

  SendMessageW(dialog_.hwnd(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(dialog_.ChosenPath(), "");
}

}  // namespace
}  // namespace tmr
