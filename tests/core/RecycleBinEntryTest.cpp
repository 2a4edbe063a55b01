// The Recycle Bin's $I files: the real one of a Windows 10 bin, both
// versions built after the format's description, and damaged ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/RecycleBinEntry.h"
#include "support/Fixtures.h"

namespace tmr {
namespace {

// Little-endian bytes of a number of `size` bytes.
std::string Le(uint64_t value, int size) {
  std::string bytes;
  for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
  return bytes;
}

std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) bytes += Le(unit, 2);
  return bytes;
}

std::string Header(uint64_t version) { return Le(version, 8) + Le(4096, 8) + Le(0x01D1D24E7961A720, 8); }

// A version 2 file whose count is `units` and which holds `text` after it.
std::string Version2(uint32_t units, std::u16string_view text) { return Header(2) + Le(units, 4) + Utf16(text); }

TEST(RecycleBinEntry, RealWindows10File) {
  const std::string bytes = test::ReadFixture("windows-today/$I103S5F.jpg");
  ASSERT_EQ(bytes.size(), 104u);
  const std::optional<RecycleBinEntry> entry = DecodeRecycleBinEntry(bytes);
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->formatVersion, 2u);
  EXPECT_EQ(entry->originalSize, 222255u);
  EXPECT_EQ(entry->deletionTime, 0x01D1D24E7961A720u);  // 2016-06-29 21:37:45.618 UTC
  EXPECT_EQ(entry->originalPath, "C:\\Users\\random\\Downloads\\bunnies.jpg");
}

TEST(RecycleBinEntry, BothVersionsAsDescribed) {
  // Version 1: the path in a field of 260 units, the rest zeros.
  std::string v1 = Header(1) + Utf16(u"D:\\K\u00f6ln\\\U0001F600.txt");
  v1.resize(24 + 520, '\0');
  const auto one = DecodeRecycleBinEntry(v1);
  ASSERT_TRUE(one.has_value());
  EXPECT_EQ(one->formatVersion, 1u);
  EXPECT_EQ(one->originalSize, 4096u);
  EXPECT_EQ(one->originalPath, "D:\\K\xC3\xB6ln\\\xF0\x9F\x98\x80.txt");

  // Version 2: the count includes the NUL; a path ends at its first NUL
  // and an unpaired surrogate stands in as U+FFFD.
  const auto two = DecodeRecycleBinEntry(Version2(7, std::u16string(u"C:\\a\xD800"
                                                                    u"b") +
                                                         u'\0'));
  ASSERT_TRUE(two.has_value());
  EXPECT_EQ(two->originalPath,
            "C:\\a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(DecodeRecycleBinEntry(Version2(6, std::u16string(u"C:\\x") + u'\0' + u"y"))->originalPath, "C:\\x");
  EXPECT_EQ(DecodeRecycleBinEntry(Version2(0, u""))->originalPath, "");
}

TEST(RecycleBinEntry, DamagedFilesGiveNothing) {
  std::string v1 = Header(1);
  v1.resize(24 + 519, 'a');
  const std::string good = Version2(4, u"C:\\");
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"header cut", good.substr(0, 23)},
      {"version 2 path cut", good.substr(0, good.size() - 1)},
      {"count beyond any path", Version2(0xFFFFFFFF, u"C:\\")},
      {"count one past the longest path", Version2(32769, std::u16string(32769, u'a'))},
      {"version 1 field cut", v1},
      {"unknown version", Header(3) + std::string(600, '\0')},
      {"version in the high bytes", Header(uint64_t{1} << 32 | 2) + std::string(600, '\0')},
  };
  for (const Case& c : cases) EXPECT_FALSE(DecodeRecycleBinEntry(c.bytes).has_value()) << c.what;
  EXPECT_TRUE(DecodeRecycleBinEntry(Version2(32768, std::u16string(32768, u'a'))).has_value());
}

TEST(RecycleBinEntry, DataNameOfMetadataName) {
  EXPECT_EQ(RecycleBinDataName("$I103S5F.jpg"), "$R103S5F.jpg");
  EXPECT_EQ(RecycleBinDataName("C:\\$Recycle.Bin\\S-1-5-21-1\\$IABC123"), "C:\\$Recycle.Bin\\S-1-5-21-1\\$RABC123");
  EXPECT_EQ(RecycleBinDataName("$iabc.txt"), "$rabc.txt");
  for (const char* notMetadata : {"$RABC123.jpg", "desktop.ini", "$I", "", "C:\\$I\\x.txt", "_IABC123.jpg"}) {
    EXPECT_EQ(RecycleBinDataName(notMetadata), "") << notMetadata;
  }
}

}  // namespace
}  // namespace tmr
