// The address bar, cookie and index file categories against Wine's registry
// (through a scratch root) and real files in a temp folder.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/IndexDatScanner.h"
#include "core/ProgramState.h"
#include "platform/WinText.h"
#include "readers/ie/IeReaders.h"
#include "support/ContainerBuilder.h"
#include "support/RecordingList.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

constexpr char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

using Texts = std::vector<std::string>;

Texts Sorted(Texts texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

class IeReadersTest : public ::testing::Test {
 protected:
  void SetUp() override { OsVersion = "xp"; }
  void TearDown() override { OsVersion.clear(); }
  void Show(Category category) { test::ShowInRecorder(category, list_); }
  // The index file category, the user choosing this path.
  void ScanIndexFile(const std::string& path) {
    ReadContext context;
    context.chooseIndexFile = [path] { return path; };
    test::ShowInRecorder(Category::kIeIndexFile, list_, context);
  }

  test::ScratchRegistry scratch_;
  test::TempDir temp_;
  test::RecordingList list_;
};

TEST_F(IeReadersTest, TypedUrlsInRegistryOrderAndACountEvenWithoutTheKey) {
  list_.panel2 = "Total Records: 99";
  Show(Category::kIeTypedUrls);
  EXPECT_EQ(list_.log, (Texts{"panel1:Double Cilck to view", "clear", "column:URLs:4000", "panel2:Total Records: 0"}));
  scratch_.CreateKey(HKEY_CURRENT_USER, kTypedUrls);
  list_.panel2 = "Total Records: 99";
  Show(Category::kIeTypedUrls);
  EXPECT_EQ(list_.panel2, "Total Records: 0");

  scratch_.SetString(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://a/");
  scratch_.SetString(HKEY_CURRENT_USER, kTypedUrls, "url2", "http://b/");
  scratch_.SetBinary(HKEY_CURRENT_USER, kTypedUrls, "url3", std::string("h\0t\0", 4));
  scratch_.SetRaw(HKEY_CURRENT_USER, kTypedUrls, "url4", REG_SZ, "");  // no data at all
  Show(Category::kIeTypedUrls);
  EXPECT_EQ(list_.FirstColumn(), (Texts{"http://a/", "http://b/"}));
  EXPECT_EQ(list_.panel2, "Total Records: 2");
}

TEST_F(IeReadersTest, CookieFolderNamesWithAtAndSitesOfTextFilesThenLowOnVista) {
  Show(Category::kIeCookies);  // no "Cookies" value: no folder
  EXPECT_TRUE(list_.rows.empty());
  EXPECT_EQ(list_.panel2, "Total Records: 0");

  const std::string folder = temp_.str() + "\\Cookies";
  scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "Cookies", "  " + folder + " ");
  temp_.Write("Cookies/user@site[1].txt", "id\nabc\nsite/\n");
  temp_.Write("Cookies/index.dat", "Client UrlCache MMF Ver 5.2");
  temp_.Write("Cookies/desktop.ini", "[.ShellClassInfo]\r\n");
  temp_.Write("Cookies/ABC123.txt", "name\nvalue\nsite.com/\n9728\n*\n");
  temp_.Write("Cookies/XYZ789.TXT", "name\nvalue\nupper.com/\n");
  temp_.Write("Cookies/crlf.txt", "name\r\nvalue\r\ncrlf.com/\r\n");  // one piece before the CR
  temp_.Write("Cookies/cr.txt", "name\nvalue\ncr.com/\rnext\nline\n");
  temp_.Write("Cookies/empty.txt", "");
  temp_.Write("Cookies/sub@folder/inner@x.txt", "x");
  temp_.Write("Cookies/Low/low@site[2].txt", "id\nv\nlow/\n");
  temp_.Write("Cookies/Low/LOWABC.txt", "n\nv\nlow.example/\n");
  const std::wstring hidden = Widen(temp_.Write("Cookies/hidden@site[1].txt", "x").string());
  SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);

  list_ = test::RecordingList{};
  Show(Category::kIeCookies);
  const Texts main{"cr.com/", "hidden@site[1].txt", "site.com/", "user@site[1].txt"};
  EXPECT_EQ(Sorted(list_.FirstColumn()), main);
  EXPECT_EQ(list_.log, (Texts{"panel1:Double click to view cookie folder", "hide", "clear", "column:Cookies:6000",
                              "row", "show", "panel2:Total Records: 4"}));
  EXPECT_GT(list_.keepGoingCalls, 0);

  OsVersion = "Vista";
  Show(Category::kIeCookies);
  Texts rows = list_.FirstColumn();
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(Sorted(Texts(rows.begin(), rows.begin() + 4)), main);
  EXPECT_EQ(Sorted(Texts(rows.begin() + 4, rows.end())), (Texts{"low.example/", "low@site[2].txt"}));
  SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// ---- the cache index file ----

Texts ScanRows(const std::string& bytes) {
  Texts rows;
  ScanIndexBytes(bytes, [&](std::string_view row) {
    rows.emplace_back(row);
    return true;
  });
  return rows;
}

TEST_F(IeReadersTest, IndexFileScanGivesTheRowsOfTheRuleAcrossReadChunks) {
  // Hits placed around the reader's 1 MiB steps, where a record's text
  // straddles two reads.
  std::string bytes(3 * 1024 * 1024 + 500, '.');
  std::mt19937 random(3);
  for (char& c : bytes) c = "abcUxyz\0"[random() % 8];
  for (size_t step : {1u << 20, 2u << 20, 3u << 20}) {
    for (size_t back : {2u, 120u, 250u, 600u}) {
      size_t at = step - back;
      bytes.replace(at, 3, "URL");
      bytes.replace(at + 96, 9, std::string("http://") + static_cast<char>('a' + back % 26) + "/");
    }
    bytes.replace(step - 260, 3, "URL");  // no "http" at +96: the text at +104 straddles the step
  }
  std::string path = temp_.Write("big.dat", bytes).string();
  ScanIndexFile(path);
  Texts rows;
  for (const auto& r : list_.rows) rows.push_back(r.at(0));
  EXPECT_EQ(rows, ScanRows(bytes));
  EXPECT_EQ(rows.size(), 15u);
  EXPECT_EQ(list_.panel1, path);
  EXPECT_EQ(list_.panel2, "Total Records: " + std::to_string(rows.size()));
  EXPECT_EQ(list_.progressMaximum, static_cast<double>(static_cast<float>(bytes.size())));
  EXPECT_EQ(list_.progressLabel, "Records: " + std::to_string(rows.size()));
  EXPECT_FALSE(list_.progressShown);
  EXPECT_FALSE(list_.cancelVisible);
  EXPECT_TRUE(list_.listVisible);
  EXPECT_EQ(list_.log[4], "cancel:show");  // after the status, the column and hiding the list
}

TEST_F(IeReadersTest, CancellingTheScanKeepsTheRowsFoundSoFar) {
  std::string bytes(20000, '.');
  for (size_t at = 0; at < 10; ++at) bytes.replace(at * 1000, 3, "URL");
  std::string path = temp_.Write("ten.dat", bytes).string();
  list_.onKeepGoing = [&] {
    if (list_.rows.size() == 3) list_.cancelled = true;
  };
  ScanIndexFile(path);
  EXPECT_EQ(list_.rows.size(), 3u);
  EXPECT_EQ(list_.panel2, "Total Records: 3");
  EXPECT_FALSE(list_.cancelVisible);
}

TEST_F(IeReadersTest, AFileThatCannotBeOpenedSaysSo) {
  std::string path = temp_.str() + "\\nowhere\\index.dat";
  list_.panel2 = "Total Records: 5";
  ScanIndexFile(path);
  EXPECT_TRUE(list_.rows.empty());
  EXPECT_EQ(list_.panel1, "Cannot open " + path);
  EXPECT_EQ(list_.panel2, "Total Records: 0");
  EXPECT_FALSE(list_.cancelVisible);
  EXPECT_EQ(std::count(list_.log.begin(), list_.log.end(), "progress:show"), 0);
  // A folder is no file either.
  ScanIndexFile(temp_.str());
  EXPECT_EQ(list_.panel1, "Cannot open " + temp_.str());
}

TEST_F(IeReadersTest, NothingChosenLeavesTheColumnAndTheCount) {
  list_.panel2 = "Total Records: 5";
  ScanIndexFile("  ");
  EXPECT_TRUE(list_.rows.empty());
  ASSERT_EQ(list_.columns.size(), 1u);
  EXPECT_EQ(list_.columns[0].header, "URLs In Index.dat File");
  EXPECT_EQ(list_.panel1, "Double click to view");
  EXPECT_EQ(list_.panel2, "Total Records: 5");
  EXPECT_TRUE(list_.listVisible);
}

TEST_F(IeReadersTest, IndexDialogDefaultComesFromTheCacheFolder) {
  EXPECT_EQ(DefaultIndexDatPath(), "");
  scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "Cache", " C:\\Users\\me\\Temporary Internet Files ");
  EXPECT_EQ(DefaultIndexDatPath(), "C:\\Users\\me\\Temporary Internet Files\\Content.IE5\\index.dat");
}

}  // namespace
}  // namespace tmr
