#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>

#include "core/CivilDate.h"
#include "core/HiveFormat.h"
#include "core/HiveLog.h"
#include "core/RegistryHive.h"
#include "core/Utf8Text.h"
#include "support/Fixtures.h"
#include "support/HiveBuilder.h"

namespace tmr {
namespace {

// Appended, not prefix + text: GCC 12 warns falsely (-Wrestrict) on that.
std::string Numbered(const char* prefix, int i) {
  std::string name(prefix);
  name += std::to_string(i);
  return name;
}

using test::HiveBuilder;
using test::ToBytes;

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(std::filesystem::file_size(path), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  return text;
}
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) { return ToBytes(ReadText(path)); }

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Every key by its path ("" is the root), and the keys in depth-first order.
struct Tree {
  std::unordered_map<std::string, RegistryHive::Key> byPath;
  std::vector<RegistryHive::Key> preorder;
  std::vector<std::string> paths;  // in preorder
};
Tree WalkTree(const RegistryHive& hive) {
  Tree tree;
  std::vector<std::pair<RegistryHive::Key, std::string>> stack{{hive.Root(), ""}};
  while (!stack.empty()) {
    auto [key, path] = stack.back();
    stack.pop_back();
    tree.byPath.emplace(path, key);
    tree.preorder.push_back(key);
    tree.paths.push_back(path);
    const std::vector<RegistryHive::Key> subkeys = hive.Subkeys(key);
    for (auto child = subkeys.rbegin(); child != subkeys.rend(); ++child) {
      stack.emplace_back(*child, (path.empty() ? "" : path + "\\") + hive.KeyName(*child));
    }
  }
  return tree;
}

// hivexregedit --export: "[\path]" lines, then "name"=dword:... or
// "name"=hex(N):aa,bb,... lines (@ for the default value).
std::map<std::string, std::vector<HiveValue>> ReadRegExport(const std::filesystem::path& path) {
  std::map<std::string, std::vector<HiveValue>> keys;
  std::vector<HiveValue>* values = nullptr;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("[\\")) {
      values = &keys[line.substr(2, line.size() - 3)];
      continue;
    }
    if (values == nullptr || line.empty()) continue;
    HiveValue value;
    size_t at = 1;
    if (line[0] == '"') {
      for (; line[at] != '"'; ++at) value.name.push_back(line[at] == '\\' ? line[++at] : line[at]);
      ++at;
    }
    const std::string data = line.substr(at + 1);  // after '='
    if (data.starts_with("dword:")) {
      value.type = 4;
      const uint32_t number = static_cast<uint32_t>(std::stoul(data.substr(6), nullptr, 16));
      for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<uint8_t>(number >> (8 * i)));
    } else {
      value.type = static_cast<uint32_t>(std::stoul(data.substr(4), nullptr, 16));
      const auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
      for (size_t hex = data.find(':') + 1; hex + 1 < data.size(); hex += 3) {
        value.data.push_back(static_cast<uint8_t>(nibble(data[hex]) << 4 | nibble(data[hex + 1])));
      }
    }
    values->push_back(std::move(value));
  }
  return keys;
}

// hivexml: each key's "<node" with its time to the second (FILETIME
// seconds) and its cell's file offset, in stored order.
std::vector<std::pair<uint64_t, uint64_t>> ReadXmlKeys(const std::filesystem::path& path) {
  const std::string xml = ReadText(path);
  std::vector<std::pair<uint64_t, uint64_t>> keys;
  for (size_t at = xml.find("<node "); at != std::string::npos; at = xml.find("<node ", at + 1)) {
    const size_t runs = xml.find("<byte_runs>", at);
    const size_t time = xml.find("<mtime>", at) + 7;
    uint64_t seconds = 0;
    if (time < runs) {
      const auto field = [&](size_t from, size_t length) { return std::stoi(xml.substr(time + from, length)); };
      seconds = static_cast<uint64_t>(DaysFromCivil({field(0, 4), field(5, 2), field(8, 2)}) * 86400 +
                                      field(11, 2) * 3600 + field(14, 2) * 60 + field(17, 2) + 11644473600);
    }
    const size_t offset = xml.find("file_offset=\"", runs) + 13;
    keys.emplace_back(seconds, std::stoull(xml.substr(offset, xml.find('"', offset) - offset)));
  }
  return keys;
}

TEST(RegistryHiveOracle, EveryKeyAndValueOfTheRealHivesAsHivexReadsThem) {
  const std::filesystem::path oracle = TM_HIVE_ORACLE_DIR;
  const std::pair<const char*, std::filesystem::path> hives[] = {
      {"NTUSER-WIN7", test::FixturePath("registry/NTUSER-WIN7.DAT")},
      {"NTUSER-2", test::FixturePath("registry/NTUSER-2.DAT")},
      {"SYSTEM", oracle / "SYSTEM"},  // big data records and index roots
      {"UsrClass", test::FixturePath("windows-today/UsrClass.dat")},
  };
  for (const auto& [name, file] : hives) {
    SCOPED_TRACE(name);
    const std::filesystem::path exported = oracle / (std::string(name) + ".reg");
    if (!std::filesystem::exists(exported)) GTEST_SKIP() << "no hivex reading of the fixture: " << exported;
    const std::optional<RegistryHive> hive = RegistryHive::Open(ReadBytes(file));
    ASSERT_TRUE(hive);
    EXPECT_TRUE(hive->BaseBlockSound());
    EXPECT_FALSE(hive->Recovered());
    const Tree tree = WalkTree(*hive);

    const auto keys = ReadRegExport(exported);
    EXPECT_EQ(keys.size(), tree.byPath.size());
    for (const auto& [path, expected] : keys) {
      const auto found = tree.byPath.find(path);
      ASSERT_NE(found, tree.byPath.end()) << path;
      std::vector<HiveValue> values = hive->Values(found->second);
      std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
      EXPECT_EQ(values, expected) << path;
      // Each key from its parent, and every so often by its whole path.
      const size_t last = path.rfind('\\');
      const auto parent = tree.byPath.find(last == std::string::npos ? "" : path.substr(0, last));
      if (!path.empty()) {
        EXPECT_EQ(hive->FindKey(parent->second, Upper(path.substr(last + 1))), found->second);
      }
      if (found->second % 64 == 0) {
        EXPECT_EQ(hive->FindKey(hive->Root(), Upper(path)), found->second) << path;
      }
      for (const HiveValue& value : expected) EXPECT_EQ(hive->Value(found->second, value.name), value) << path;
    }

    const auto stored = ReadXmlKeys(oracle / (std::string(name) + ".xml"));
    ASSERT_EQ(stored.size(), tree.preorder.size());
    for (size_t i = 0; i < stored.size(); ++i) {
      const RegistryHive::Key key = tree.preorder[i];
      ASSERT_EQ(hive->CellOffset(key) + hive::kBaseBlockSize, stored[i].second) << hive->KeyName(key);
      EXPECT_EQ(hive->LastWriteTime(key) / 10'000'000, stored[i].first) << hive->KeyName(key);
    }
  }
}

TEST(RegistryHiveLog, Marvin32GivesThePublishedHashes) {
  // The vectors of .NET's Marvin tests, with their seed.
  const std::pair<std::vector<uint8_t>, uint64_t> cases[] = {
      {{}, 0x30ED35C100CD3C7D},
      {{0xAF}, 0x48E73FC77D75DDC1},
      {{0xE7, 0x0F}, 0xB5F6E1FC485DBFF8},
      {{0x37, 0xF4, 0x95}, 0xF0B07C789B8CF7E8},
      {{0x86, 0x42, 0xDC, 0x59}, 0x7008F2E87E9CF556},
      {{0x15, 0x3F, 0xB7, 0x98, 0x26}, 0xE6C08C6DA2AFA997},
      {{0xAB, 0x42, 0x7E, 0xA8, 0xD1, 0x0F, 0xC7}, 0xE11847E4F0678C41},
  };
  for (const auto& [data, hash] : cases) EXPECT_EQ(Marvin32(data, 0x004FB61A001BDBCC), hash) << data.size();
}

// Paths of every key below the root, depth first in stored order.
std::vector<std::string> Paths(const RegistryHive& hive) {
  std::vector<std::string> paths = WalkTree(hive).paths;
  paths.erase(paths.begin());
  return paths;
}

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

std::vector<uint8_t> U16Bytes(std::u16string_view text) { return ToBytes(test::Utf16Le(text)); }

// A root with a Latin-1 and a UTF-16 named key under an index root, the
// first with values of every storage (inline, a cell, big data) and a
// class name in a bin of its own, the second with a subkey.
struct SampleHive {
  HiveBuilder builder;
  uint32_t defaultData = builder.AddCell(U16Bytes(u"dflt"));
  uint32_t twoValue = builder.AddValue("Two", 3, 0x80000002, 0x0809);
  uint32_t bigValue = builder.AddValue("Big", 3, 40000, builder.AddBigData(Pattern(40000)));
  uint32_t valueList = builder.AddOffsets(
      {builder.AddValue("", 1, 8, defaultData), builder.AddValue("Count", 4, 0x80000004, 0x04030201), twoValue,
       bigValue, builder.AddValue(test::Utf16Le(u"Größe"), 1, 0x80000004, 0x004C0058, false)});
  uint32_t classCell = (builder.NewBin(), builder.AddCell(U16Bytes(u"Klasse")));
  uint32_t cafe = (builder.NewBin(), builder.AddKey({.name = "Caf\xE9",
                                                     .valueList = valueList,
                                                     .valueCount = 5,
                                                     .classCell = classCell,
                                                     .classLength = 12,
                                                     .lastWrite = 0x01D2'3456'789A'BCDE}));
  uint32_t leaf = builder.AddKey({.name = "Leaf"});
  uint32_t wide = builder.AddKey(
      {.name = test::Utf16Le(u"Ünï日本\U0001F600"), .compressed = false, .subkeyList = builder.AddList("li", {leaf})});
  uint32_t rootList = builder.AddList("ri", {builder.AddList("lh", {cafe}), builder.AddList("lf", {wide})});
  uint32_t root = builder.AddKey({.name = "ROOT", .subkeyList = rootList});

  std::optional<RegistryHive> Open() { return RegistryHive::Open(builder.Build(root)); }
};

TEST(RegistryHive, NamesValuesAndClassAsStored) {
  SampleHive sample;
  const std::optional<RegistryHive> hive = sample.Open();
  ASSERT_TRUE(hive);
  EXPECT_EQ(Paths(*hive), (std::vector<std::string>{"Café", "Ünï日本😀", "Ünï日本😀\\Leaf"}));
  const RegistryHive::Key cafe = *hive->FindKey(hive->Root(), "CAFÉ");
  EXPECT_EQ(hive->ClassName(cafe), "Klasse");
  EXPECT_EQ(hive->LastWriteTime(cafe), 0x01D2'3456'789A'BCDEu);
  EXPECT_EQ(hive->CellOffset(cafe), sample.cafe);

  const std::vector<HiveValue> expected = {
      {"", 1, U16Bytes(u"dflt")}, {"Count", 4, {1, 2, 3, 4}},    {"Two", 3, {9, 8}},
      {"Big", 3, Pattern(40000)}, {"Größe", 1, U16Bytes(u"XL")},
  };
  EXPECT_EQ(hive->Values(cafe), expected);
  EXPECT_EQ(hive->Value(cafe, "GRÖSSE"), std::nullopt);  // no letter folds to two
  EXPECT_EQ(hive->Value(cafe, "GRÖßE"), expected[4]);
  EXPECT_EQ(hive->Value(cafe, ""), expected[0]);
  EXPECT_EQ(hive->Value(cafe, "count"), expected[1]);

  const RegistryHive::Key leaf = *hive->FindKey(hive->Root(), "\\ünï日本😀\\\\LEAF\\");
  EXPECT_EQ(hive->KeyName(leaf), "Leaf");
  EXPECT_EQ(hive->FindKey(leaf, ""), leaf);
  EXPECT_EQ(hive->FindKey(hive->Root(), "Café\\Leaf"), std::nullopt);
  EXPECT_EQ(hive->ClassName(leaf), "");
  EXPECT_TRUE(hive->Values(leaf).empty());
  EXPECT_EQ(hive->KeyName(1000), "");  // a key from nowhere
  EXPECT_EQ(hive->FindKey(1000, ""), std::nullopt);
}

TEST(RegistryHive, DamagedSynthesizedHivesGiveWhatCanBeRead) {
  const std::vector<std::string> all = {"Café", "Ünï日本😀", "Ünï日本😀\\Leaf"};
  const size_t allBytes = 8 + 4 + 2 + 40000 + 4;
  struct Case {
    const char* name;
    std::function<void(SampleHive&)> damage;
    std::vector<std::string> paths;
    size_t values;  // of Café
    size_t bytes;   // of their data
  };
  const std::vector<Case> cases = {
      {"index root naming itself",
       [](SampleHive& s) { s.builder.Put32(s.rootList, 4, s.rootList); },
       {all[1], all[2]},
       0,
       0},
      {"subkey list of the ancestors", [](SampleHive& s) { s.builder.Put32(s.leaf, 28, s.rootList); }, all, 5,
       allBytes},
      {"subkey list naming the root",
       [](SampleHive& s) { s.builder.Put32(s.wide, 28, s.root); },
       {all[0], all[1]},
       5,
       allBytes},
      {"a value where a key should be",
       [](SampleHive& s) { s.builder.Put32(s.wide, 28, s.valueList); },
       {all[0], all[1]},
       5,
       allBytes},
      {"class cell reaching past its bin", [](SampleHive& s) { s.builder.Put32(s.classCell, -4, -8192u); }, all, 5,
       allBytes},
      {"value list entry past the file, a data cell freed",
       [](SampleHive& s) {
         s.builder.Put32(s.valueList, 4, 0x7FFFFFF8);
         s.builder.Put32(s.defaultData, -4, 0x10);
       },
       all, 4, 40000 + 2 + 4},
      {"counts absurdly large",
       [](SampleHive& s) {
         s.builder.Put32(s.rootList, 0, 0xFFFF0000 | 'r' | 'i' << 8);
         s.builder.Put32(s.cafe, 36, 0xFFFFFFFF);
       },
       all, 5, allBytes},
      // Data sizes that the stored data does not fill: what there is, with
      // the padding of the last cell.
      {"big data size beyond its segments", [](SampleHive& s) { s.builder.Put32(s.bigValue, 4, 60000); }, all, 5,
       allBytes + 4},
      {"inline size beyond four bytes", [](SampleHive& s) { s.builder.Put32(s.twoValue, 4, 0x80000007); }, all, 5,
       allBytes + 2},
  };
  for (const Case& c : cases) {
    SampleHive sample;
    c.damage(sample);
    const std::optional<RegistryHive> hive = sample.Open();
    ASSERT_TRUE(hive) << c.name;
    EXPECT_EQ(Paths(*hive), c.paths) << c.name;
    const std::optional<RegistryHive::Key> cafe = hive->FindKey(hive->Root(), "Café");
    const std::vector<HiveValue> values = cafe ? hive->Values(*cafe) : std::vector<HiveValue>{};
    size_t bytes = 0;
    for (const HiveValue& value : values) bytes += value.data.size();
    EXPECT_EQ(values.size(), c.values) << c.name;
    EXPECT_EQ(bytes, c.bytes) << c.name;
  }
}

// Cells that a reader trusting the hive would visit once per reference:
// 300 keys that share one subkey list (their own), one class name and one
// list of 300 values all naming one 16 KB data cell: 90 000 keys and
// 1.4 GB of data from a file of some 50 KB. Beside them, a chain deeper
// than the registry allows.
TEST(RegistryHive, SharedCellsAreReadOnceAndDepthIsBounded) {
  HiveBuilder builder;
  const uint32_t data = builder.AddCell(Pattern(16000));
  std::vector<uint32_t> values;
  for (int i = 0; i < 300; ++i) values.push_back(builder.AddValue(Numbered("v", i), 3, 16000, data));
  const uint32_t valueList = builder.AddOffsets(values);
  const uint32_t classCell = builder.AddCell(U16Bytes(u"Klasse"));
  uint32_t chain = builder.AddKey({.name = "k"});
  for (int depth = 0; depth < 600; ++depth)
    chain = builder.AddKey({.name = "k", .subkeyList = builder.AddList("li", {chain})});
  std::vector<uint32_t> keys{chain};
  for (int i = 0; i < 300; ++i) {
    keys.push_back(builder.AddKey({.name = Numbered("s", i),
                                   .valueList = valueList,
                                   .valueCount = 300,
                                   .classCell = classCell,
                                   .classLength = 12}));
  }
  const uint32_t list = builder.AddList("lf", keys);
  for (size_t i = 1; i < keys.size(); ++i) builder.Put32(keys[i], 28, list);
  const std::optional<RegistryHive> hive =
      RegistryHive::Open(builder.Build(builder.AddKey({.name = "r", .subkeyList = list})));
  ASSERT_TRUE(hive);
  const Tree tree = WalkTree(*hive);
  EXPECT_EQ(tree.preorder.size(), 1 + 300 + 512u);
  size_t count = 0, bytes = 0, classes = 0;
  for (RegistryHive::Key key : tree.preorder) {
    classes += !hive->ClassName(key).empty();
    for (const HiveValue& value : hive->Values(key)) {
      ++count;
      bytes += value.data.size();
    }
  }
  EXPECT_EQ(count, 300u);
  EXPECT_EQ(bytes, 16000u);
  EXPECT_EQ(classes, 1u);
}

TEST(RegistryHive, DamagedRealHiveGivesWhatCanBeRead) {
  const std::vector<uint8_t> whole = ToBytes(test::ReadFixture("registry/NTUSER-2.DAT"));
  if (whole.empty()) GTEST_SKIP() << "fixture missing";
  const size_t all = WalkTree(*RegistryHive::Open(whole)).preorder.size();
  struct Case {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    size_t minKeys, maxKeys;  // 0, 0: no hive
  };
  const std::vector<Case> cases = {
      {"cut in half", [](auto& b) { b.resize(b.size() / 2); }, 2, all - 1},
      {"cut inside the first bin", [](auto& b) { b.resize(4096 + 512); }, 1, 1},
      {"cut inside the base block", [](auto& b) { b.resize(4000); }, 0, 0},
      {"checksum wrong, no log", [](auto& b) { b[508] ^= 1; }, all, all},
      {"bins data size beyond the file", [](auto& b) { hive::PutU32(b, 40, 0xFFFFF000); }, all, all},
      {"a bin signature gone", [](auto& b) { b[4096 + 0x10000] = 'X'; }, 2, all - 1},
      {"signature gone", [](auto& b) { b[0] = 'R'; }, 0, 0},
      {"root cell offset wild", [](auto& b) { hive::PutU32(b, 36, 0x7FFFFFF8); }, 0, 0},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> copy = whole;
    c.damage(copy);
    const std::optional<RegistryHive> hive = RegistryHive::Open(copy);
    ASSERT_EQ(hive.has_value(), c.maxKeys != 0) << c.name;
    if (!hive) continue;
    const size_t keys = WalkTree(*hive).preorder.size();
    EXPECT_GE(keys, c.minKeys) << c.name;
    EXPECT_LE(keys, c.maxKeys) << c.name;
  }
}

// A copy of a real hive made dirty (its primary sequence number one ahead)
// with logs whose pages change the text of one value, "sCountry" (United
// States) of Control Panel\International, as a flush that never reached
// the primary file would have left them.
class DirtyHive : public ::testing::Test {
 protected:
  static constexpr size_t kText = 134300;  // "United States", UTF-16LE, in the file
  static constexpr uint32_t kPage = (kText - 4096) / 4096 * 4096;

  void SetUp() override {
    clean_ = ToBytes(test::ReadFixture("registry/NTUSER-2.DAT"));
    if (clean_.size() < kText + 26) GTEST_SKIP() << "fixture missing";
    ASSERT_EQ(Country(clean_, {}, {}), "United States");
    sequence_ = hive::U32(clean_, 8);
    binsSize_ = hive::U32(clean_, 40);
    dirty_ = clean_;
    hive::PutU32(dirty_, 4, sequence_ + 1);
    test::SealBaseBlock(dirty_);
  }
  // The value's page with another text of the same length.
  test::LogPage Page(std::u16string_view country) const {
    std::vector<uint8_t> page(clean_.begin() + 4096 + kPage, clean_.begin() + 4096 + kPage + 4096);
    const std::string text = test::Utf16Le(country);
    std::copy(text.begin(), text.end(), page.begin() + (kText - 4096 - kPage));
    return {kPage, page};
  }
  test::LogEntryParts Entry(uint32_t sequence, std::u16string_view country) const {
    return {sequence, binsSize_, {Page(country)}};
  }
  std::vector<uint8_t> Log(uint32_t sequence, const std::vector<test::LogEntryParts>& entries) const {
    return test::BuildLog(dirty_, sequence, entries);
  }
  static std::string Country(std::vector<uint8_t> primary, std::vector<uint8_t> log1, std::vector<uint8_t> log2,
                             bool* recovered = nullptr) {
    const std::optional<RegistryHive> hive = RegistryHive::Open(std::move(primary), std::move(log1), std::move(log2));
    if (!hive) return "no hive";
    if (recovered) *recovered = hive->Recovered();
    const std::optional<HiveValue> value =
        hive->Value(hive->FindKey(hive->Root(), "Control Panel\\International").value(), "sCountry");
    std::u16string text;
    for (size_t i = 0; value && i + 3 < value->data.size(); i += 2) text.push_back(hive::U16(value->data, i));
    return Utf8Encode(text);
  }

  std::vector<uint8_t> clean_, dirty_;
  uint32_t sequence_ = 0, binsSize_ = 0;
};

TEST_F(DirtyHive, LogEntriesThatFollowThePrimaryAreApplied) {
  const uint32_t s = sequence_;
  std::vector<uint8_t> damagedHash = Log(s, {Entry(s, u"Xanadu Island")});
  damagedHash[512 + 40 + 8 + 100] ^= 1;
  std::vector<uint8_t> damagedSecond = Log(s, {Entry(s, u"Xanadu Island"), Entry(s + 1, u"Lemuria Coast")});
  damagedSecond[damagedSecond.size() - 1] ^= 1;
  std::vector<uint8_t> oldFormat = Log(s, {Entry(s, u"Xanadu Island")});
  hive::PutU32(oldFormat, 28, 1);
  test::SealBaseBlock(oldFormat);
  std::vector<uint8_t> torn = dirty_;
  torn[508] ^= 1;

  struct Case {
    const char* name;
    std::vector<uint8_t> primary, log1, log2;
    std::string country;
  };
  const std::vector<Case> cases = {
      {"one entry", dirty_, Log(s, {Entry(s, u"Xanadu Island")}), {}, "Xanadu Island"},
      {"no log", dirty_, {}, {}, "United States"},
      {"a clean primary ignores its log", clean_, Log(s, {Entry(s, u"Xanadu Island")}), {}, "United States"},
      {"the later of two entries",
       dirty_,
       Log(s, {Entry(s, u"Xanadu Island"), Entry(s + 1, u"Lemuria Coast")}),
       {},
       "Lemuria Coast"},
      {"entries the primary holds already are passed over",
       dirty_,
       Log(s - 1, {Entry(s - 1, u"Lemuria Coast"), Entry(s, u"Xanadu Island")}),
       {},
       "Xanadu Island"},
      {"a gap before the first entry", dirty_, Log(s, {Entry(s + 1, u"Xanadu Island")}), {}, "United States"},
      {"a gap after the first entry",
       dirty_,
       Log(s, {Entry(s, u"Xanadu Island"), Entry(s + 2, u"Lemuria Coast")}),
       {},
       "Xanadu Island"},
      {"nothing after a gap",
       dirty_,
       Log(s, {Entry(s + 5, u"Lemuria Coast"), Entry(s, u"Xanadu Island")}),
       {},
       "United States"},
      {"a damaged hash", dirty_, damagedHash, {}, "United States"},
      {"a damaged second entry", dirty_, damagedSecond, {}, "Xanadu Island"},
      {".LOG2 goes on from .LOG1", dirty_, Log(s, {Entry(s, u"Xanadu Island")}),
       Log(s + 1, {Entry(s + 1, u"Lemuria Coast")}), "Lemuria Coast"},
      {".LOG2 begun before .LOG1", dirty_, Log(s + 1, {Entry(s + 1, u"Lemuria Coast")}),
       Log(s, {Entry(s, u"Xanadu Island")}), "Lemuria Coast"},
      {"only .LOG2", dirty_, {}, Log(s, {Entry(s, u"Xanadu Island")}), "Xanadu Island"},
      {"an old-format log is passed over", dirty_, oldFormat, {}, "United States"},
      {"a torn base block taken from the log", torn, Log(s, {Entry(s, u"Xanadu Island")}), {}, "Xanadu Island"},
  };
  for (const Case& c : cases) {
    bool recovered = false;
    EXPECT_EQ(Country(c.primary, c.log1, c.log2, &recovered), c.country) << c.name;
    EXPECT_EQ(recovered, c.country != "United States") << c.name;
  }
}

// A hive whose second bin only a log holds: the primary ends after the
// first, which already lists a key in the second.
TEST(RegistryHiveLog, HiveGrowsByTheBinsOfItsLog) {
  HiveBuilder builder;
  builder.AddCell(std::vector<uint8_t>(3000));
  const uint32_t rootList = builder.AddList("lf", {0});
  const uint32_t root = builder.AddKey({.name = "r", .subkeyList = rootList});
  builder.NewBin();
  const uint32_t grown = builder.AddKey({.name = "Grown"});
  builder.Put32(rootList, 4, grown);
  const std::vector<uint8_t> whole = builder.Build(root);
  std::vector<uint8_t> primary(whole.begin(), whole.begin() + 8192);
  hive::PutU32(primary, 4, 2);
  test::SealBaseBlock(primary);
  const std::vector<uint8_t> log =
      test::BuildLog(primary, 1, {{1, 8192, {{4096, std::vector<uint8_t>(whole.begin() + 8192, whole.end())}}}});

  const std::optional<RegistryHive> cut = RegistryHive::Open(primary);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->SubkeyCount(cut->Root()), 0u);
  const std::optional<RegistryHive> hive = RegistryHive::Open(primary, log);
  ASSERT_TRUE(hive);
  EXPECT_TRUE(hive->Recovered());
  EXPECT_EQ(Paths(*hive), std::vector<std::string>{"Grown"});
}

}  // namespace
}  // namespace tmr
