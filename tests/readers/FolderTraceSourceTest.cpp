// A folder source against this PC holding the same data. The real hives lie
// in a folder laid out as a Windows volume, with the user's browser, cache
// and history files in their profile places; the same hives are imported
// into the scratch registry, whose shell folders point into that folder.
// Every category must give the same rows from either source, and the
// registry rules must hold on hive files as on the live registry.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>

#include "core/ProgramState.h"
#include "readers/FolderTraceSource.h"
#include "readers/ie/IeReaders.h"
#include "support/BrowserTestSupport.h"
#include "support/HiveBuilder.h"
#include "support/RealHives.h"
#include "support/RecordingList.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

// Every entry below root; a file by its bytes' hash and its write time.
std::map<std::string, std::string> Fingerprint(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    entries[test::Utf8(fs::relative(entry.path(), root))] =
        entry.is_regular_file() ? test::Sha256OfFile(entry.path()) + " " +
                                      std::to_string(fs::last_write_time(entry.path()).time_since_epoch().count())
                                : "folder";
  }
  return entries;
}

// Files below root: each pair is a fixture (or "=" and the bytes to write)
// and its place. Copies are made writable, so they can be deleted again.
void LayOut(const fs::path& root, std::initializer_list<std::pair<std::string, std::string>> files) {
  for (const auto& [from, to] : files) {
    const fs::path target = root / to;
    fs::create_directories(target.parent_path());
    if (from.starts_with("=")) {
      std::ofstream(target, std::ios::binary) << from.substr(1);
      continue;
    }
    // "hives/NAME": a hive the build made (see RealHives.h).
    const fs::path source = from.starts_with("hives/") ? fs::path(test::RealHive(fs::path(from.substr(6)).c_str()))
                                                       : test::FixturePath(from);
    fs::copy_file(source, target, fs::copy_options::overwrite_existing);
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
  }
}

// A list's rows with their cells, in text order: a hive lists a key's values
// in the order it stores them, as Windows does, where Wine's registry keeps
// them sorted by name.
using RowsAndCells = std::vector<std::pair<std::vector<std::string>, std::vector<test::RecordingList::StoredCell>>>;
// The rows in an order of their texts. A key's write time is left out: the
// live side's keys were written by the import, now, the hive's long ago.
RowsAndCells InAnyOrder(const test::RecordingList& list, const CategoryInfo& category) {
  RowsAndCells rows;
  for (size_t i = 0; i < list.rows.size(); ++i) {
    auto texts = list.rows[i];
    auto cells = list.cells[i];
    // So are the timeline's events of those times.
    if (category.id == Category::kTimeline && texts.size() > 1 && texts[1].find("written") != std::string::npos) {
      continue;
    }
    for (size_t c = 0; c < category.columns.size() && c < texts.size(); ++c) {
      if (category.columns[c].timeMeaning.find("written") == std::string_view::npos) continue;
      texts[c].clear();
      cells[c] = {};
    }
    rows.emplace_back(std::move(texts), std::move(cells));
  }
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return rows;
}

// One user hive per suite: importing a whole hive takes a moment.
class SameRowsAsThisPc : public ::testing::Test {
 protected:
  static void Prepare(const std::string& userHive, const wchar_t* convertedHive) {
    volume_ = std::make_unique<test::TempDir>();
    if (!test::HaveRealHive(L"SYSTEM") || !fs::exists(test::FixturePath("ie/History.IE5/index.dat"))) return;
    const std::string local = "Users/nfury/AppData/Local/";
    const std::string roaming = "Users/nfury/AppData/Roaming/";
    const std::string firefox = roaming + "Mozilla/Firefox/Profiles/x1y2.default/";
    LayOut(
        volume_->path(),
        {{"registry/" + userHive, "Users/nfury/NTUSER.DAT"},
         {"hives/SYSTEM", "Windows/System32/config/SYSTEM"},
         {"windows-today/UsrClass.dat", local + "Microsoft/Windows/UsrClass.dat"},
         {"ie/History.IE5/index.dat", local + "Microsoft/Windows/History/History.IE5/index.dat"},
         {"ie/History.IE5/index.dat", local + "Microsoft/Windows/History/Low/History.IE5/index.dat"},
         {"ie/Content.IE5/index.dat", local + "Microsoft/Windows/INetCache/Content.IE5/index.dat"},
         {"=id\n1\nshield.example/\n", local + "Microsoft/Windows/INetCookies/nfury@shield.example[1].txt"},
         {"=id\n2\nlow.example/\n", local + "Microsoft/Windows/INetCookies/Low/nfury@low.example[1].txt"},
         {"windows-today/example.lnk", roaming + "Microsoft/Windows/Recent/StarFury.zip.lnk"},
         {"=x", roaming + "Microsoft/Windows/Recent/AutomaticDestinations/1b4dd67f29cb1962.automaticDestinations-ms"},
         {"chrome/History-schema20", local + "Google/Chrome/User Data/Default/History"},
         {"chrome/Cookies-v10", local + "Google/Chrome/User Data/Default/Cookies"},
         {"chrome/History-schema36", local + "Microsoft/Edge/User Data/Default/History"},
         {"firefox/places.sqlite", firefox + "places.sqlite"},
         {"firefox/cookies.sqlite", firefox + "cookies.sqlite"},
         {"firefox/downloads.sqlite", firefox + "downloads.sqlite"}});
    source_ = std::make_unique<FolderTraceSource>(DescribeTraceFolder(volume_->str()), "nfury");

    scratch_ = std::make_unique<test::ScratchRegistry>();
    loaded_ = test::LoadRealHive(*scratch_, convertedHive) > 0 && test::LoadRealHive(*scratch_, L"usbstor.reg") > 0 &&
              test::LoadRealHive(*scratch_, L"usrclass.reg") > 0;
    using Shell = std::pair<const char*, TraceFolder>;
    for (const auto& [name, folder] :
         {Shell{"AppData", TraceFolder::kAppData}, Shell{"Local AppData", TraceFolder::kLocalAppData},
          Shell{"Recent", TraceFolder::kRecent}, Shell{"Cookies", TraceFolder::kCookies},
          Shell{"History", TraceFolder::kHistory}, Shell{"Cache", TraceFolder::kCache}}) {
      scratch_->SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                          name, source_->Folder(folder));
    }
    filesBefore_ = Fingerprint(volume_->path());
    registryBefore_ = scratch_->Dump();
  }
  static void TearDownTestSuite() {
    if (loaded_) {
      EXPECT_EQ(Fingerprint(volume_->path()), filesBefore_) << "a category changed the folder";
      EXPECT_EQ(scratch_->Dump(), registryBefore_) << "a category wrote to the registry";
    }
    source_.reset();
    scratch_.reset();
    volume_.reset();
    loaded_ = false;
  }
  void SetUp() override {
    if (!loaded_) GTEST_SKIP() << "the real hives or fixtures are missing";
    savedOs_ = OsVersion;
    OsVersion = "Vista";
  }
  void TearDown() override { OsVersion = savedOs_; }

  // Every category of the table, for the list and for the report, from
  // both sources; each of `expected` must give rows.
  void CompareEveryCategory(std::initializer_list<Category> expected) {
    Rows withRows;
    for (const CategoryInfo& category : Categories().categories) {
      for (ReadPurpose purpose : {ReadPurpose::kList, ReadPurpose::kReport}) {
        ReadContext context;
        context.purpose = purpose;
        context.chooseIndexFile = [] { return DefaultIndexDatPath(*source_); };
        test::RecordingList live;
        category.read(context, live, live);
        context.source = source_.get();
        test::RecordingList folder;
        category.read(context, folder, folder);
        const std::string what = std::string(category.key) + (purpose == ReadPurpose::kList ? " list" : " report");
        EXPECT_EQ(InAnyOrder(folder, category), InAnyOrder(live, category)) << what;
        EXPECT_EQ(folder.log, live.log) << what;
        if (!live.rows.empty()) withRows.push_back(std::string(category.key));
      }
    }
    for (Category id : expected) {
      const std::string key(Categories().Of(id).key);
      EXPECT_NE(std::find(withRows.begin(), withRows.end(), key), withRows.end()) << key << " had no rows";
    }
  }

  static inline std::unique_ptr<test::TempDir> volume_;
  static inline std::unique_ptr<FolderTraceSource> source_;
  static inline std::unique_ptr<test::ScratchRegistry> scratch_;
  static inline bool loaded_ = false;
  static inline std::map<std::string, std::string> filesBefore_;
  static inline std::string registryBefore_;
  std::string savedOs_;
};

class Windows7Volume : public SameRowsAsThisPc {
 protected:
  static void SetUpTestSuite() { Prepare("NTUSER-WIN7.DAT", L"ntuser-win7.reg"); }
};

class SecondUserVolume : public SameRowsAsThisPc {
 protected:
  static void SetUpTestSuite() { Prepare("NTUSER-2.DAT", L"ntuser-2.reg"); }
};

TEST_F(Windows7Volume, EveryCategoryGivesTheRowsThisPcGives) {
  CompareEveryCategory({Category::kIeUrlHistory, Category::kIeTypedUrls, Category::kIeCookies, Category::kIeIndexFile,
                        Category::kRecentDocuments, Category::kSearchHistory, Category::kRunHistory,
                        Category::kOpenSaveHistory, Category::kLastVisited, Category::kUsbStorage,
                        Category::kFirstFolders, Category::kTypedPaths, Category::kFirefoxUrlHistory,
                        Category::kChromeUrlHistory});
}

TEST_F(SecondUserVolume, EveryCategoryGivesTheRowsThisPcGives) {
  CompareEveryCategory({Category::kIeTypedUrls, Category::kOpenSaveHistory, Category::kLastVisited,
                        Category::kFirstFolders, Category::kUsbStorage});
}

// The hive's order: url1 to url13, where Wine's registry has url10 before url2.
TEST_F(Windows7Volume, ValuesComeInTheOrderTheHiveStoresThem) {
  ReadContext context;
  context.source = source_.get();
  test::RecordingList folder;
  Categories().Of(Category::kIeTypedUrls).read(context, folder, folder);
  Rows byNumber;
  for (int i = 1; i <= 13; ++i) {
    byNumber.push_back(
        LiveTraceSource()
            .Text(TraceRoot::kUser, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url" + std::to_string(i))
            .value_or("?"));
  }
  EXPECT_EQ(folder.FirstColumn(), byNumber);
}

// No category reads the user's classes yet: its keys must read as the live
// registry reads them imported under Software\Classes.
TEST_F(Windows7Volume, TheClassesHiveReadsAsTheRegistryHoldsIt) {
  auto byName = [](std::optional<std::vector<TraceValue>> values) {
    std::vector<TraceValue> sorted = values.value_or(std::vector<TraceValue>{});
    std::sort(sorted.begin(), sorted.end(), [](const TraceValue& a, const TraceValue& b) { return a.name < b.name; });
    return sorted;
  };
  Rows pending{"Local Settings\\Software\\Microsoft\\Windows\\Shell"};
  size_t values = 0;
  while (!pending.empty()) {
    const std::string key = pending.back();
    pending.pop_back();
    const Rows subkeys = source_->SubKeys(TraceRoot::kUserClasses, key);
    ASSERT_EQ(subkeys, LiveTraceSource().SubKeys(TraceRoot::kUserClasses, key)) << key;
    for (const std::string& subkey : subkeys) pending.push_back(key + "\\" + subkey);
    const std::vector<TraceValue> stored = byName(source_->Values(TraceRoot::kUserClasses, key));
    ASSERT_EQ(stored, byName(LiveTraceSource().Values(TraceRoot::kUserClasses, key))) << key;
    values += stored.size();
  }
  EXPECT_GT(values, 20u);
}

// The registry layer's rules on values that bend them, each written into
// the scratch registry and into a hive in a profile folder, in name order
// (Wine's), and read back through both sources.
TEST(HiveRules, ValuesReadAsTheRegistryLayerReadsThem) {
  const std::vector<test::TreeValue> values = {
      {"", REG_SZ, test::SzData(u"default")},
      {"binary", REG_BINARY, std::string("\x01\x00\x02", 3)},
      {"dword", REG_DWORD, "\xFF\xFF\xFF\xFF"},
      {"dword-empty", REG_DWORD, ""},
      {"dword-long", REG_DWORD, std::string("\x01\x00\x00\x00\x00\x00\x00\x00", 8)},
      {"dword-short", REG_DWORD, "\x34\x12"},
      {"expand", REG_EXPAND_SZ, test::SzData(u"%TEMP%")},
      {"sz", REG_SZ, test::SzData(u"text")},
      {"sz-empty", REG_SZ, ""},
      {"sz-inner-nul", REG_SZ, test::SzData(std::u16string(u"a\0b", 3))},
      {"sz-no-nul", REG_SZ, test::Utf16Le(u"abc")},
      {"sz-nul-only", REG_SZ, std::string(2, '\0')},
      {"sz-odd", REG_SZ, test::Utf16Le(u"ab") + "x"},
      {"sz-one-byte", REG_SZ, "x"},
      {"sz-wide", REG_SZ, test::SzData(u"Gr\u00F6\u00DFe \U0001F600")},
      {"UPPER", REG_SZ, test::SzData(u"upper")},
  };
  // A name of 20 UTF-16 units ends the listing; the emoji counts two.
  const std::string one = test::SzData(u"1");
  const std::vector<test::TreeValue> ascii = {
      {"a", REG_SZ, one}, {"b-nineteen-letters!", REG_SZ, one}, {"c-twenty-characters!", REG_SZ, one}};
  const std::vector<test::TreeValue> wide = {
      {"a", REG_SZ, one}, {"b-eighteen-letters\U0001F600", REG_SZ, one}, {"c", REG_SZ, one}};
  const std::pair<std::string, const std::vector<test::TreeValue>*> keys[] = {
      {"Software\\Rules", &values}, {"Software\\Rules\\Ascii", &ascii}, {"Software\\Rules\\Wide", &wide}};

  test::ScratchRegistry scratch;
  std::vector<test::TreeKey> tree;
  for (const auto& [key, list] : keys) {
    tree.emplace_back(key, *list);
    for (const test::TreeValue& value : *list) {
      // The registry counts in a terminator the caller left out when the
      // buffer has one after the data: here it has none.
      const std::string buffer = value.data + "??";
      scratch.SetRaw(HKEY_CURRENT_USER, key, value.name, value.type,
                     std::string_view(buffer).substr(0, value.data.size()));
    }
  }
  test::TempDir profile;
  const std::vector<uint8_t> hive = test::BuildHiveTree(tree);
  profile.Write("NTUSER.DAT", std::string(hive.begin(), hive.end()));
  const FolderTraceSource folder(DescribeTraceFolder(profile.str()), "");
  const TraceSource& live = LiveTraceSource();
  for (const auto& [key, list] : keys) {
    EXPECT_EQ(folder.ValueNames(TraceRoot::kUser, key), live.ValueNames(TraceRoot::kUser, key)) << key;
    EXPECT_EQ(folder.Values(TraceRoot::kUser, key), live.Values(TraceRoot::kUser, key)) << key;
    Rows asked{"missing", "upper"};
    for (const test::TreeValue& value : *list) asked.push_back(value.name);
    for (const std::string& name : asked) {
      EXPECT_EQ(folder.Text(TraceRoot::kUser, key, name), live.Text(TraceRoot::kUser, key, name)) << key << ":" << name;
      EXPECT_EQ(folder.Bytes(TraceRoot::kUser, key, name), live.Bytes(TraceRoot::kUser, key, name))
          << key << ":" << name;
    }
  }
  for (const char* missing : {"Software\\NoSuchKey", "Software\\Rules\\Ascii\\Deeper"}) {
    EXPECT_EQ(folder.ValueNames(TraceRoot::kUser, missing), live.ValueNames(TraceRoot::kUser, missing));
    EXPECT_EQ(folder.Bytes(TraceRoot::kUser, missing, "a"), live.Bytes(TraceRoot::kUser, missing, "a"));
  }
  EXPECT_EQ(folder.SubKeys(TraceRoot::kUser, "Software\\Rules"), live.SubKeys(TraceRoot::kUser, "Software\\Rules"));
  EXPECT_EQ(folder.Text(TraceRoot::kUser, "Software\\Rules", "sz"), "text");
}

}  // namespace
}  // namespace tmr
