#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>

#include "core/UrlCacheContainer.h"
#include "support/ContainerBuilder.h"

namespace tmr {
namespace {

using test::PutU32;

class RealHistoryContainer : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = test::ReadFixture("ie/History.IE5/index.dat");
    if (bytes_.empty()) GTEST_SKIP() << "fixture missing: " << test::FixturePath("ie/History.IE5/index.dat");
  }
  std::string bytes_;
};

TEST_F(RealHistoryContainer, FifteenLiveEntriesInFileOrderWithoutTheDeletedOnes) {
  ContainerContents contents = ReadContainer(bytes_);
  ASSERT_TRUE(contents.recognised);
  EXPECT_FALSE(contents.usedAllocationBitmap);
  ASSERT_EQ(contents.records.size(), 15u);
  std::set<uint32_t> offsets;
  for (const auto& record : contents.records) offsets.insert(record.offset);
  // The records in freed blocks; one repeats a live entry's location.
  EXPECT_EQ(offsets.count(0x6400) + offsets.count(0x7280), 0u);

  std::vector<VisitedEntry> entries = ReadVisitedEntries(bytes_);
  ASSERT_EQ(entries.size(), 15u);
  EXPECT_EQ(entries[0].url, "http://www.msn.com/?ocid=iehp");
  // 2015-08-25T11:05:18.512Z, in milliseconds since 1970.
  EXPECT_EQ((static_cast<int64_t>(entries[0].lastVisited) - 116444736000000000LL) / 10000, 1440500718512LL);
  EXPECT_FALSE(entries[0].hasTitle);
  auto rss = std::find_if(entries.begin(), entries.end(),
                          [](const auto& e) { return e.url.rfind("http://www.bing.com/search?format=rss", 0) == 0; });
  ASSERT_NE(rss, entries.end());
  EXPECT_EQ(rss->title, u"RSS");
}

TEST_F(RealHistoryContainer, DamagedCopiesYieldTheirIntactLiveEntries) {
  const size_t all = 15;
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
      {"bitmap cleared (hash table decides)",
       [](std::string& b) { std::fill(b.begin() + 0x250, b.begin() + 0x260, 0); }, all},
      {"a location outside its record", [](std::string& b) { PutU32(b, 0x5000 + 52, 0x10000); }, all - 1},
      {"a block count huge", [](std::string& b) { PutU32(b, 0x5100 + 4, 0x7FFFFFFF); }, all - 1},
      {"a block count zero", [](std::string& b) { PutU32(b, 0x5200 + 4, 0); }, all - 1},
      {"a record signature gone", [](std::string& b) { b.replace(0x5300, 4, std::string(4, '\0')); }, all - 1},
      {"a location without its NUL", [](std::string& b) { std::fill(b.begin() + 0x5068, b.begin() + 0x5100, 'x'); },
       all - 1},
      {"a data area past its record (title dropped, entry kept)", [](std::string& b) { PutU32(b, 0x5300 + 72, 4096); },
       all},
      {"file signature gone", [](std::string& b) { b[0] = 'X'; }, 0},
      {"only the header", [](std::string& b) { b.resize(0x4000); }, 0},
  };
  for (const Case& c : cases) {
    std::string copy = bytes_;
    c.damage(copy);
    EXPECT_EQ(ReadVisitedEntries(copy).size(), c.expected) << c.name;
  }
}

TEST(UrlCacheContainer, VisitedEntriesOnlyAndDeletedRecordsStayOutWithoutHashTables) {
  auto built = test::BuildContainer({{"Visited: ann@https://secure.example/", 1000, u"Secure"},
                                     {"Visited: ann@http://gone.example/", 3000, u"Gone", true},
                                     {":2013031020130311: ann@http://daily.example/", 4000},
                                     {"Visited: no-at-sign", 6000}});
  std::vector<VisitedEntry> entries = ReadVisitedEntries(built.bytes);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].url, "https://secure.example/");
  EXPECT_EQ(entries[0].title, u"Secure");
  built.bytes.replace(built.hashTable, 4, "XXXX");
  ContainerContents fallback = ReadContainer(built.bytes);
  EXPECT_TRUE(fallback.usedAllocationBitmap);
  EXPECT_EQ(fallback.records.size(), 3u);

  std::string cache = test::ReadFixture("ie/Content.IE5/index.dat");
  if (cache.empty()) return;
  ContainerContents contents = ReadContainer(cache);
  EXPECT_EQ(contents.records.size(), 21u);  // its REDR records are not URL records
  EXPECT_TRUE(ReadVisitedEntries(cache).empty());
}

// Files made so that a reader going round the same blocks again does work
// and holds memory quadratic in their size: every block is read at most
// once as a hash table and once as a record, so the entries examined and
// the texts copied out stay within the file's size.
TEST(UrlCacheContainer, OverlappingTablesAndRecordsAreReadOnce) {
  const std::vector<test::BuiltEntry> entries = {{"Visited: ann@http://a.example/", 1000, u"A"},
                                                 {"Visited: ann@http://b.example/", 2000},
                                                 {"Visited: ann@http://c.example/", 3000}};
  const std::string tables = test::BuildOverlappingTables(entries, size_t{1} << 20, 4096);
  ContainerContents contents = ReadContainer(tables);
  EXPECT_LE(contents.hashEntriesRead, tables.size() / 8);
  EXPECT_EQ(contents.records.size(), 3u);
  EXPECT_EQ(ReadVisitedEntries(tables).size(), 3u);

  const std::string records = test::BuildOverlappingRecords(entries, size_t{256} << 10, 64);
  contents = ReadContainer(records);
  size_t copied = 0;
  for (const auto& record : contents.records) copied += record.location.size();
  EXPECT_LE(copied, records.size());
  EXPECT_EQ(ReadVisitedEntries(records).size(), 3u);  // the long text is not a visit
}

// Random damage under the sanitizers: no read outside the bytes, and every
// record returned lies wholly inside them.
TEST(UrlCacheContainer, SurvivesRandomMutations) {
  std::vector<std::string> seeds = {test::ReadFixture("ie/History.IE5/index.dat"),
                                    test::ReadFixture("ie/Content.IE5/index.dat"),
                                    test::BuildContainer({{"Visited: a@http://x/", 1, u"t"}}).bytes};
  seeds.erase(std::remove_if(seeds.begin(), seeds.end(), [](const auto& s) { return s.empty(); }), seeds.end());
  std::mt19937 random(20240611);
  // Where a mutation hurts most: header fields, the hash table, a record.
  const size_t hot[] = {28, 32, 36, 0x250, 0x4000, 0x4004, 0x4008, 0x4010, 0x5000, 0x5004, 0x5034, 0x5044, 0x5048};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = seeds[static_cast<size_t>(round) % seeds.size()];
    for (int e = 1 + static_cast<int>(random() % 16); e > 0 && !bytes.empty(); --e) {
      size_t at = (random() % 3 == 0) ? hot[random() % std::size(hot)] + random() % 8 : random() % bytes.size();
      if (at + 4 > bytes.size()) continue;
      switch (random() % 4) {
        case 0: bytes[at] = static_cast<char>(random()); break;
        case 1: PutU32(bytes, at, static_cast<uint32_t>(random())); break;
        case 2: PutU32(bytes, at, test::GetU32(bytes, at) + (random() % 2 ? 128 : 0x4000)); break;
        default: bytes.resize(at); break;
      }
    }
    for (const auto& record : ReadContainer(bytes).records) {
      ASSERT_FALSE(record.location.empty());
      ASSERT_LE(record.offset + 128ull, bytes.size());
    }
    (void)ReadVisitedEntries(bytes);
  }
}

}  // namespace
}  // namespace tmr
