// The Windows categories against Wine's registry (through a scratch root)
// and real folders, recorded by a list recorder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/ProgramState.h"
#include "platform/WinText.h"
#include "readers/windows/WindowsReaders.h"
#include "support/RecordingList.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

using namespace std::string_literals;

namespace tmr {
namespace {

using Rows = std::vector<std::string>;

const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const std::string kComDlg32 = kExplorer + "\\ComDlg32";
const std::string kShellFolders = kExplorer + "\\Shell Folders";
const std::string kUsb = "SYSTEM\\CurrentControlSet\\Enum\\USBSTOR";

std::string Utf16(std::u16string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

// An open/save entry shaped like a real one: a file item whose long name
// (UTF-16) is followed by its NUL and the item list's end.
std::string OpenSaveEntry(std::u16string_view name, size_t itemBytes = 40) {
  std::string item(itemBytes, '\x31');
  item[0] = '\x14';
  return item + std::string(4, '\0') + Utf16(name) + std::string(2, '\0') + std::string("\x16\0\0\0", 4);
}

// A last-visited entry: program name, NUL, the start of a shell item list.
std::string LastVisitedEntry(std::u16string_view program) {
  return Utf16(program) + std::string(2, '\0') + "\x14\x00\x1f\x50\xe0\x4f\xd0\x20\x00\x00"s;
}

// Subkey names in the registry's own enumeration order.
Rows EnumeratedSubKeys(const std::string& path) {
  Rows names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = 256;
    if (RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(Narrow(std::wstring_view(name, size)));
  }
  RegCloseKey(key);
  return names;
}

class WindowsReadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedOs_ = OsVersion;
    OsVersion = "Vista";
  }
  void TearDown() override { OsVersion = savedOs_; }
  // Shows a category the way a click does.
  Rows Run(Category category) {
    test::ShowInRecorder(category, list_);
    return list_.FirstColumn();
  }

  test::ScratchRegistry scratch_;
  test::RecordingList list_;
  std::string savedOs_;
};

TEST_F(WindowsReadersTest, EveryCategoryFillsItsFrameEvenWhenNothingIsThere) {
  struct Case {
    Category category;
    const char* hint;
    const char* header;
    int width;
  };
  const Case cases[] = {
      {Category::kRecentDocuments, "Double Click to open", "Recent Documents", 8000},
      {Category::kSearchHistory, "", "Start Menu Search History", 8000},
      {Category::kRunHistory, "Double Cilck to run", "Start Menu Run History", 8000},
      {Category::kOpenSaveHistory, "", "Open/Save History", 6000},
      {Category::kLastVisited, "", "Last Visited History", 8000},
      {Category::kUsbStorage, "", "USB Storage History", 8000},
      {Category::kFirstFolders, "", "First Folder (Windows 7)", 8000},
      {Category::kTypedPaths, "", "Type Paths (Windows 7)", 8000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Categories().Of(c.category).key);
    list_ = test::RecordingList();
    list_.rows = {{"stale"}};
    list_.panel2 = "Total Records: 99";
    EXPECT_TRUE(Run(c.category).empty());
    EXPECT_EQ(list_.panel1, c.hint);
    ASSERT_EQ(list_.columns.size(), 1u);
    EXPECT_EQ(list_.columns[0].header, c.header);
    EXPECT_EQ(list_.columns[0].widthTwips, c.width);
    EXPECT_EQ(list_.panel2, "Total Records: 0");
    EXPECT_TRUE(list_.listVisible);
    ASSERT_FALSE(list_.log.empty());
    EXPECT_EQ(list_.log.front(), "panel1:"s + c.hint);
    EXPECT_EQ(list_.log.back(), "panel2:Total Records: 0");
  }
}

TEST_F(WindowsReadersTest, RunHistoryDropsTheEndingInRegistryOrder) {
  const std::string key = kExplorer + "\\RunMRU";
  scratch_.SetString(HKEY_CURRENT_USER, key, "a", "cmd\\1");
  scratch_.SetString(HKEY_CURRENT_USER, key, "b", "x");  // too short for the ending
  scratch_.SetString(HKEY_CURRENT_USER, key, "c", "\\\\controller\\WebDavShare\\1");
  scratch_.SetString(HKEY_CURRENT_USER, key, "d", "");
  scratch_.SetString(HKEY_CURRENT_USER, key, "e", "K\xC3\xB6ln\\1");
  scratch_.SetString(HKEY_CURRENT_USER, key, "MRUList", "ecba");
  EXPECT_EQ(Run(Category::kRunHistory), (Rows{"cmd", "\\\\controller\\WebDavShare", "K\xC3\xB6ln"}));
  EXPECT_EQ(list_.panel2, "Total Records: 3");
  EXPECT_EQ(list_.log, (Rows{"panel1:Double Cilck to run", "clear", "column:Start Menu Run History:8000", "row",
                             "panel2:Total Records: 3"}));
}

TEST_F(WindowsReadersTest, OpenSaveBeforeVistaListsFullPathsOfTheStarKey) {
  OsVersion = "xp";
  scratch_.SetString(HKEY_CURRENT_USER, kComDlg32 + "\\OpenSaveMRU\\*", "a", "C:\\a.txt");
  scratch_.SetString(HKEY_CURRENT_USER, kComDlg32 + "\\OpenSaveMRU\\*", "b", "a.txt");
  scratch_.SetString(HKEY_CURRENT_USER, kComDlg32 + "\\OpenSaveMRU\\*", "MRUList", "ba");
  scratch_.SetString(HKEY_CURRENT_USER, kComDlg32 + "\\OpenSaveMRU\\txt", "a", "D:\\b.txt");
  EXPECT_EQ(Run(Category::kOpenSaveHistory), (Rows{"C:\\a.txt"}));
}

TEST_F(WindowsReadersTest, OpenSaveOnVistaDecodesEverySubkeyButTheStar) {
  const std::string key = kComDlg32 + "\\OpenSavePidlMRU";
  scratch_.SetBinary(HKEY_CURRENT_USER, key + "\\png", "0", OpenSaveEntry(u"ash.png"));
  scratch_.SetBinary(HKEY_CURRENT_USER, key + "\\png", "1", OpenSaveEntry(u"ash_0.png", 41));
  scratch_.SetBinary(HKEY_CURRENT_USER, key + "\\png", "MRUListEx", "\x01\0\0\0\0\0\0\0\xff\xff\xff\xff"s);
  scratch_.SetBinary(HKEY_CURRENT_USER, key + "\\*", "0", OpenSaveEntry(u"star.png"));
  scratch_.SetBinary(HKEY_CURRENT_USER, key + "\\txt", "MRUListEx", "\xff\xff\xff\xff"s);
  scratch_.SetBinary(HKEY_CURRENT_USER, key + "\\doc", "0", OpenSaveEntry(u"letter.doc"));
  Rows expected;
  for (const std::string& sub : EnumeratedSubKeys(key)) {
    if (sub == "png") expected.insert(expected.end(), {"ash.png", "ash_0.png"});
    if (sub == "doc") expected.push_back("letter.doc");
  }
  EXPECT_EQ(Run(Category::kOpenSaveHistory), expected);
  EXPECT_EQ(list_.panel2, "Total Records: 3");
}

TEST_F(WindowsReadersTest, RecentDocumentsListsFilesWithTheirFullPaths) {
  test::TempDir recent;
  recent.Write("a.txt", "x");
  recent.Write("desktop.ini", "[.ShellClassInfo]");
  recent.Write("index.dat", "Client UrlCache");
  recent.Write("sub/inner.txt", "x");
  std::filesystem::create_directory(recent.path() / "archived");
  const std::wstring folder = Widen(recent.str());
  SetFileAttributesW((folder + L"\\desktop.ini").c_str(),
                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  SetFileAttributesW((folder + L"\\archived").c_str(), FILE_ATTRIBUTE_ARCHIVE);  // Wine keeps it as 16

  for (const std::string& value : {recent.str(), recent.str() + "\\"}) {
    SCOPED_TRACE(value);
    scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "Recent", value);
    list_ = test::RecordingList();
    Rows rows = Run(Category::kRecentDocuments);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (Rows{recent.str() + "\\a.txt", recent.str() + "\\desktop.ini"}));
    EXPECT_EQ(list_.keepGoingCalls, 3);  // after each entry, index.dat included
    EXPECT_EQ(list_.log, (Rows{"panel1:Double Click to open", "hide", "clear", "column:Recent Documents:8000", "row",
                               "show", "panel2:Total Records: 2"}));
  }
}

TEST(RecentDocuments, EveryFolderIsSkippedWhateverItsOtherAttributes) {
  const std::pair<uint32_t, bool> cases[] = {
      {FILE_ATTRIBUTE_DIRECTORY, true},
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, true},
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE, true},
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, true},  // a link to a folder
      {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, true},
      {FILE_ATTRIBUTE_ARCHIVE, false},
      {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, false},
      {FILE_ATTRIBUTE_NORMAL, false},
      {FILE_ATTRIBUTE_READONLY, false},
  };
  for (const auto& [attributes, folder] : cases) EXPECT_EQ(IsFolderAttribute(attributes), folder) << attributes;
}

TEST_F(WindowsReadersTest, RecentDocumentsWithoutAFolderShowAnEmptyList) {
  // No value, an empty one, a folder that is not there.
  const char* const values[] = {"", "C:\\no\\such\\Recent"};
  for (const char* value : values) {
    if (value) scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "Recent", value);
    list_ = test::RecordingList();
    EXPECT_TRUE(Run(Category::kRecentDocuments).empty());
    EXPECT_TRUE(list_.listVisible);
    EXPECT_EQ(list_.panel2, "Total Records: 0");
  }
}

TEST_F(WindowsReadersTest, UsbStorageGivesOneRowPerNamedInstance) {
  scratch_.SetString(HKEY_LOCAL_MACHINE, kUsb + "\\Disk&Ven_HP&Prod_v100w\\AA95&0", "FriendlyName",
                     "HP v100w USB Device");
  scratch_.SetString(HKEY_LOCAL_MACHINE, kUsb + "\\Disk&Ven_Sony&Prod_MSC\\0001&0", "FriendlyName", "Sony Storage");
  scratch_.CreateKey(HKEY_LOCAL_MACHINE, kUsb + "\\Disk&Ven_Sony&Prod_MSC\\0002&0");  // no name: no row
  scratch_.SetString(HKEY_LOCAL_MACHINE, kUsb + "\\Disk&Ven_X\\0003&0", "FriendlyName", "");
  Rows rows = Run(Category::kUsbStorage);
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (Rows{"", "HP v100w USB Device", "Sony Storage"}));
  EXPECT_EQ(list_.panel2, "Total Records: 3");
}

TEST_F(WindowsReadersTest, SearchWordsAndTypedPathsAreWholeAfterRunHistory) {
  const std::string bar =
      "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}";
  scratch_.SetString(HKEY_CURRENT_USER, bar + "\\ContainingTextMRU", "a", "budget");
  scratch_.SetString(HKEY_CURRENT_USER, bar + "\\filesNamedMRU", "a", "*.xls");
  scratch_.SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Search Assistant\\ACMru\\5603", "000", "report");
  scratch_.SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Search Assistant\\ACMru\\5647", "000", "PC1");
  scratch_.SetBinary(HKEY_CURRENT_USER, kExplorer + "\\WordWheelQuery", "0", Utf16(u"hyth") + std::string(2, '\0'));
  scratch_.SetBinary(HKEY_CURRENT_USER, kExplorer + "\\WordWheelQuery", "1", Utf16(u"rar.exe") + std::string(2, '\0'));
  scratch_.SetBinary(HKEY_CURRENT_USER, kExplorer + "\\WordWheelQuery", "MRUListEx", Utf16(u"order") + "\0\0"s);
  scratch_.SetString(HKEY_CURRENT_USER, kExplorer + "\\TypedPaths", "url1", "\\\\controller");
  scratch_.SetString(HKEY_CURRENT_USER, kExplorer + "\\RunMRU", "a", "cmd\\1");
  Run(Category::kRunHistory);
  list_.log.clear();
  EXPECT_EQ(Run(Category::kSearchHistory), (Rows{"budget", "*.xls", "report", "PC1", "hyth", "rar.exe"}));
  // Each key with values is a list of its own; the typed words join the last.
  EXPECT_EQ(list_.log, (Rows{"panel1:", "clear", "column:Start Menu Search History:8000", "list", "row", "list", "row",
                             "list", "row", "list", "row", "panel2:Total Records: 6"}));
  EXPECT_EQ(Run(Category::kTypedPaths), (Rows{"\\\\controller"}));
  EXPECT_EQ(list_.panel2, "Total Records: 1");
}

TEST_F(WindowsReadersTest, SearchHistoryOnWindows9xReadsItsOwnKeys) {
  scratch_.SetString(HKEY_CURRENT_USER, kExplorer + "\\Doc Find Spec MRU", "a", "*.doc");
  scratch_.SetString(HKEY_CURRENT_USER, kExplorer + "\\FindComputerMRU", "a", "SERVER");
  scratch_.SetBinary(HKEY_CURRENT_USER, kExplorer + "\\WordWheelQuery", "0", Utf16(u"hyth") + std::string(2, '\0'));
  for (const char* os : {"95", "98"}) {
    OsVersion = os;
    list_ = test::RecordingList();
    EXPECT_EQ(Run(Category::kSearchHistory), (Rows{"*.doc", "SERVER"})) << os;
  }
  OsVersion = "xp";
  EXPECT_EQ(Run(Category::kSearchHistory), (Rows{"hyth"}));
}

TEST_F(WindowsReadersTest, NamesHoldingACommaAreReadWhole) {
  scratch_.SetString(HKEY_CURRENT_USER, kExplorer + "\\TypedPaths", "x", "C:\\one");
  scratch_.SetString(HKEY_CURRENT_USER, kExplorer + "\\TypedPaths", "x,y", "C:\\two");
  EXPECT_EQ(Run(Category::kTypedPaths), (Rows{"C:\\one", "C:\\two"}));
  scratch_.SetString(HKEY_LOCAL_MACHINE, kUsb + "\\Disk,Odd\\0001&0", "FriendlyName", "Odd Disk");
  EXPECT_EQ(Run(Category::kUsbStorage), (Rows{"Odd Disk"}));
}

TEST_F(WindowsReadersTest, BadValuesGiveFewerRowsNeverAFailureOrAWrite) {
  const std::string run = kExplorer + "\\RunMRU";
  scratch_.SetBinary(HKEY_CURRENT_USER, run, "a", "cmd\\1");
  scratch_.SetDword(HKEY_CURRENT_USER, run, "b", 1234);
  scratch_.SetRaw(HKEY_CURRENT_USER, run, "c", REG_EXPAND_SZ, Utf16(u"%windir%\\1") + "\0\0"s);
  const std::string hugeText(1 << 20, 'x');
  scratch_.SetString(HKEY_CURRENT_USER, run, "d", hugeText + "\\1");
  const std::string visited = kComDlg32 + "\\LastVisitedPidlMRU";
  scratch_.SetString(HKEY_CURRENT_USER, visited, "0", "abc");  // text where binary belongs: its raw bytes
  scratch_.SetBinary(HKEY_CURRENT_USER, visited, "1", "A");
  scratch_.SetBinary(HKEY_CURRENT_USER, visited, "2", "ABC");
  scratch_.SetBinary(HKEY_CURRENT_USER, visited, "3", std::string(4 << 20, 'x'));
  scratch_.SetBinary(HKEY_CURRENT_USER, visited, "4", LastVisitedEntry(u"  "));  // blank: no row
  const std::string pidl = kComDlg32 + "\\OpenSavePidlMRU\\txt";
  scratch_.SetBinary(HKEY_CURRENT_USER, pidl, "0", "\x14");
  scratch_.SetBinary(HKEY_CURRENT_USER, pidl, "1", OpenSaveEntry(u"far.txt", 4 << 20));
  scratch_.SetString(HKEY_CURRENT_USER, pidl, "2", "text");
  scratch_.SetBinary(HKEY_LOCAL_MACHINE, kUsb + "\\Disk\\0001&0", "FriendlyName", Utf16(u"binary"));
  scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "Recent", std::string(300, 'r'));
  const std::string before = scratch_.Dump();

  Rows rows;
  EXPECT_NO_THROW(rows = Run(Category::kRunHistory));
  EXPECT_EQ(rows, (Rows{"12", hugeText}));  // a number reads as its text; "a" and "c" are no text
  EXPECT_NO_THROW(rows = Run(Category::kLastVisited));
  EXPECT_EQ(rows, (Rows{"abc"}));
  EXPECT_NO_THROW(rows = Run(Category::kOpenSaveHistory));
  EXPECT_EQ(rows, (Rows{"far.txt"}));
  for (Category category : {Category::kRecentDocuments, Category::kSearchHistory, Category::kUsbStorage,
                            Category::kFirstFolders, Category::kTypedPaths}) {
    EXPECT_NO_THROW(rows = Run(category)) << static_cast<int>(category);
    EXPECT_TRUE(rows.empty()) << static_cast<int>(category);
  }
  EXPECT_EQ(scratch_.Dump(), before);
}

}  // namespace
}  // namespace tmr
