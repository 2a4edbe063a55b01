#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "iehistory/ContainerBuilder.h"
#include "iehistory/UrlCacheContainer.h"

namespace tmr {
namespace {

using test::BuildContainer;
using test::BuiltEntry;
using test::GetU32;
using test::PutU32;

// Milliseconds since 1970 of a FILETIME.
int64_t UnixMillis(uint64_t fileTime) { return (static_cast<int64_t>(fileTime) - 116444736000000000LL) / 10000; }

std::vector<std::string> Urls(const std::vector<VisitedEntry>& entries) {
  std::vector<std::string> urls;
  for (const auto& e : entries) urls.push_back(e.url);
  return urls;
}

class RealHistoryContainer : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = test::ReadFixture("ie/History.IE5/index.dat");
    if (bytes_.empty()) GTEST_SKIP() << "fixture missing: " << test::FixturePath("ie/History.IE5/index.dat");
  }
  std::string bytes_;
};

TEST_F(RealHistoryContainer, ListsTheFifteenLiveEntriesInFileOrderAndNotTheDeletedOnes) {
  ContainerContents contents = ReadContainer(bytes_);
  ASSERT_TRUE(contents.recognised);
  EXPECT_FALSE(contents.usedAllocationBitmap);
  ASSERT_EQ(contents.records.size(), 15u);
  // The two records in freed blocks (one a copy of a live entry's location).
  for (const auto& record : contents.records) {
    EXPECT_NE(record.offset, 0x6400u);
    EXPECT_NE(record.offset, 0x7280u);
  }
  EXPECT_TRUE(std::is_sorted(contents.records.begin(), contents.records.end(),
                             [](const auto& a, const auto& b) { return a.offset < b.offset; }));

  std::vector<VisitedEntry> entries = ReadVisitedEntries(bytes_);
  ASSERT_EQ(entries.size(), 15u);
  EXPECT_EQ(entries[0].url, "http://www.msn.com/?ocid=iehp");
  EXPECT_EQ(UnixMillis(entries[0].lastVisited), 1440500718512LL);  // 2015-08-25T11:05:18.512Z
  EXPECT_FALSE(entries[0].hasTitle);
  std::set<std::string> distinct;
  for (const auto& e : entries) {
    EXPECT_EQ(e.url.rfind("http://", 0), 0u) << e.url;
    distinct.insert(e.url);
  }
  EXPECT_EQ(distinct.size(), 15u);
}

TEST_F(RealHistoryContainer, TakesTitlesFromTheDataArea) {
  std::vector<VisitedEntry> entries = ReadVisitedEntries(bytes_);
  auto find = [&](const std::string& prefix) {
    return std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.url.rfind(prefix, 0) == 0; });
  };
  auto rss = find("http://www.bing.com/search?format=rss");
  ASSERT_NE(rss, entries.end());
  EXPECT_TRUE(rss->hasTitle);
  EXPECT_EQ(rss->title, u"RSS");
  auto download = find("http://www.microsoft.com/de-ch/download/confirmation");
  ASSERT_NE(download, entries.end());
  EXPECT_EQ(download->title.substr(0, 33), u"Download Internet Explorer 11 f\u00fcr");
}

// Damage that a real copy suffers: the entries still whole must come out.
TEST_F(RealHistoryContainer, DamagedCopiesYieldTheirIntactLiveEntries) {
  const size_t all = ReadVisitedEntries(bytes_).size();
  struct Case {
    const char* name;
    std::function<void(std::string&)> damage;
    size_t expected;
  };
  const std::vector<Case> cases = {
      {"cut after the sixth record", [](std::string& b) { b.resize(0x5680 + 64); }, 6},
      {"hash table signature gone (bitmap decides)", [](std::string& b) { b.replace(0x4000, 4, "XXXX"); }, all},
      {"hash table offset wild (bitmap decides)", [](std::string& b) { PutU32(b, 32, 0x7FFFFF80); }, all},
      {"hash table chained to itself", [](std::string& b) { PutU32(b, 0x4008, 0x4000); }, all},
      {"a record's location outside it", [](std::string& b) { PutU32(b, 0x5000 + 52, 0x10000); }, all - 1},
      {"a record's block count huge", [](std::string& b) { PutU32(b, 0x5100 + 4, 0x7FFFFFFF); }, all - 1},
      {"a record's block count zero", [](std::string& b) { PutU32(b, 0x5200 + 4, 0); }, all - 1},
      {"a record's signature gone", [](std::string& b) { b.replace(0x5300, 4, std::string(4, '\0')); }, all - 1},
      {"a record's location without its NUL",
       [](std::string& b) { std::fill(b.begin() + 0x5000 + 0x68, b.begin() + 0x5000 + 256, 'x'); }, all - 1},
      {"a data area past the record (title dropped, entry kept)", [](std::string& b) { PutU32(b, 0x5300 + 72, 4096); },
       all},
      {"bitmap cleared (hash tables decide)", [](std::string& b) { std::fill(b.begin() + 0x250, b.begin() + 0x260, 0); },
       all},
      {"signature of the file gone", [](std::string& b) { b[0] = 'X'; }, 0},
      {"only the header", [](std::string& b) { b.resize(0x4000); }, 0},
      {"empty", [](std::string& b) { b.clear(); }, 0},
  };
  for (const Case& c : cases) {
    std::string copy = bytes_;
    c.damage(copy);
    EXPECT_EQ(ReadVisitedEntries(copy).size(), c.expected) << c.name;
  }
  std::string cut = bytes_;
  PutU32(cut, 0x5300 + 72, 4096);
  for (const auto& e : ReadVisitedEntries(cut)) {
    if (e.url.rfind("http://www.bing.com/search?format=rss", 0) == 0) {
      EXPECT_FALSE(e.hasTitle);
    }
  }
}

TEST(UrlCacheContainer, RealCacheContainerHasItsUrlRecordsButNoVisitedEntries) {
  std::string bytes = test::ReadFixture("ie/Content.IE5/index.dat");
  if (bytes.empty()) GTEST_SKIP() << "fixture missing";
  ContainerContents contents = ReadContainer(bytes);
  EXPECT_EQ(contents.records.size(), 21u);  // the REDR records are not URL records
  EXPECT_TRUE(std::any_of(contents.records.begin(), contents.records.end(),
                          [](const auto& r) { return r.location == "http://www.bing.com/favicon.ico"; }));
  EXPECT_TRUE(ReadVisitedEntries(bytes).empty());
}

TEST(UrlCacheContainer, BuiltContainerRoundTripsLocationsTitlesAndDeletions) {
  auto built = BuildContainer({
      {"Visited: ann@https://secure.example/", 1000, u"Secure"},
      {"Visited: ann@file:///C:/x.txt", 2000, std::nullopt},
      {"Visited: ann@http://gone.example/", 3000, u"Gone", true},
      {":2013031020130311: ann@http://daily.example/", 4000, std::nullopt},
      {"Visited: ann@ftp://files.example/", 5000, u""},
      {"Visited: no-at-sign", 6000, std::nullopt},
  });
  std::vector<VisitedEntry> entries = ReadVisitedEntries(built.bytes);
  EXPECT_EQ(Urls(entries), (std::vector<std::string>{"https://secure.example/", "file:///C:/x.txt", "ftp://files.example/"}));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].title, u"Secure");
  EXPECT_EQ(entries[0].lastVisited, 1000u);
  EXPECT_FALSE(entries[1].hasTitle);
  EXPECT_TRUE(entries[2].hasTitle);
  EXPECT_EQ(entries[2].title, u"");

  // Without hash tables the bitmap still keeps the deleted record out.
  std::string noHash = built.bytes;
  noHash.replace(built.hashTable, 4, "XXXX");
  ContainerContents fallback = ReadContainer(noHash);
  EXPECT_TRUE(fallback.usedAllocationBitmap);
  EXPECT_EQ(fallback.records.size(), 5u);
}

TEST(UrlCacheContainer, MergeKeepsFirstPlaceAndTheLaterVisit) {
  std::vector<VisitedEntry> main = {{"http://a/", true, u"A old", 10, 10}, {"http://b/", false, u"", 20, 20}};
  std::vector<VisitedEntry> low = {{"http://c/", false, u"", 5, 5}, {"http://a/", true, u"A new", 30, 30},
                                   {"http://b/", true, u"B older", 1, 1}};
  MergeVisitedEntries(main, low);
  ASSERT_EQ(Urls(main), (std::vector<std::string>{"http://a/", "http://b/", "http://c/"}));
  EXPECT_EQ(main[0].title, u"A new");
  EXPECT_EQ(main[0].lastVisited, 30u);
  EXPECT_FALSE(main[1].hasTitle);
  EXPECT_EQ(main[1].lastVisited, 20u);
}

// Random damage under the sanitizers: never a read outside the bytes, and
// every record returned lies wholly inside them.
TEST(UrlCacheContainer, SurvivesRandomMutations) {
  std::vector<std::string> seeds = {
      test::ReadFixture("ie/History.IE5/index.dat"), test::ReadFixture("ie/Content.IE5/index.dat"),
      BuildContainer({{"Visited: a@http://x/", 1, u"t"}, {"Visited: a@http://y/", 2, std::nullopt, true}}).bytes};
  seeds.erase(std::remove_if(seeds.begin(), seeds.end(), [](const auto& s) { return s.empty(); }), seeds.end());
  std::mt19937 random(20240611);
  // Offsets a mutation is most likely to hurt: header fields, the hash
  // table, record headers.
  const std::vector<size_t> hot = {28, 32, 36, 0x250, 0x4000, 0x4004, 0x4008, 0x4010, 0x5000, 0x5004, 0x5034, 0x5044,
                                   0x5048};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = seeds[static_cast<size_t>(round) % seeds.size()];
    int edits = 1 + static_cast<int>(random() % 16);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
      size_t at = (random() % 3 == 0) ? hot[random() % hot.size()] + random() % 8 : random() % bytes.size();
      if (at >= bytes.size()) continue;
      switch (random() % 4) {
        case 0: bytes[at] = static_cast<char>(random()); break;
        case 1: if (at + 4 <= bytes.size()) PutU32(bytes, at, static_cast<uint32_t>(random())); break;
        case 2: if (at + 4 <= bytes.size()) PutU32(bytes, at, GetU32(bytes, at) + (random() % 2 ? 128 : 0x4000)); break;
        default: bytes.resize(at); break;
      }
    }
    ContainerContents contents = ReadContainer(bytes);
    for (const auto& record : contents.records) {
      ASSERT_FALSE(record.location.empty());
      ASSERT_LE(record.offset + 128ull, bytes.size());
      ASSERT_EQ(record.location.find('\0'), std::string::npos);
    }
    (void)ReadVisitedEntries(bytes);
  }
}

}  // namespace
}  // namespace tmr
