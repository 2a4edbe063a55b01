// The MRU walks on byte arrays shaped like real entries (as the binary
// reader returns them: the value's bytes plus one extra zero). The converter
// here is a stand-in: "en" maps bytes 1:1 to characters, the UTF-16 classes
// read UTF-16LE without folding; the real conversions are tested under Wine.
#include <gtest/gtest.h>

#include <string>

#include "core/MruDecode.h"

namespace tmr {
namespace {

std::string Utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::string StandInConvert(TextClass textClass, const Bytes& bytes) {
  std::string text;
  if (textClass == TextClass::kEn) {
    for (uint8_t b : bytes) {
      if (b != 0) text += Utf8(b);
    }
    return text;
  }
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t c = static_cast<char32_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c != 0) text += Utf8(c);
  }
  return text;
}

Bytes Utf16(std::u16string_view text) {
  Bytes bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// What the binary reader returns for a value holding these bytes.
Bytes Entry(Bytes value) {
  value.push_back(0);
  return value;
}

const Bytes kNul{0, 0};
// The start of a shell item list as Windows writes it (a "My Computer" item
// and a drive item), as found after the program name in LastVisitedPidlMRU.
const Bytes kItemList{0x14, 0x00, 0x1f, 0x50, 0xe0, 0x4f, 0xd0, 0x20, 0xea, 0x3a, 0x69, 0x10, 0xa2, 0xd8,
                      0x08, 0x00, 0x2b, 0x30, 0x30, 0x9d, 0x19, 0x00, 0x2f, 0x43, 0x3a, 0x5c, 0x00, 0x00};

// An OpenSavePidlMRU value of a real user hive (NTUSER-2.DAT, "*"\"0"): a
// file item for ash.png, its long name as UTF-16 near the end.
const Bytes kAshPng{0x14, 0x00, 0x1f, 0x50, 0xe0, 0x4f, 0xd0, 0x20, 0xea, 0x3a, 0x69, 0x10, 0xa2, 0xd8, 0x08, 0x00,
                    0x2b, 0x30, 0x30, 0x9d, 0x14, 0x00, 0x2e, 0x80, 0x53, 0x16, 0xdd, 0x3a, 0x32, 0xeb, 0xb0, 0x4c,
                    0xbb, 0xd7, 0xdf, 0xa0, 0xab, 0xb5, 0xac, 0xca, 0x56, 0x00, 0x32, 0x00, 0x00, 0x00, 0x00, 0x00,
                    0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x61, 0x73, 0x68, 0x2e, 0x70, 0x6e, 0x67, 0x00, 0x40, 0x00,
                    0x09, 0x00, 0x04, 0x00, 0xef, 0xbe, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2e, 0x00,
                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x61, 0x00, 0x73, 0x00, 0x68,
                    0x00, 0x2e, 0x00, 0x70, 0x00, 0x6e, 0x00, 0x67, 0x00, 0x00, 0x00, 0x16, 0x00, 0x00, 0x00};

// A file item's tail like the one above. In real entries the name stands at
// even and at odd offsets, and what follows it has either length, so the
// walk's pairs (which end on the reader's extra zero) straddle the name's
// characters or coincide with them: a 4-byte end straddles, a 5-byte one
// coincides, whatever the offset.
Bytes FileItem(std::u16string_view name, size_t itemBytes, size_t endBytes) {
  Bytes item;
  for (size_t i = 0; i < itemBytes; ++i) item.push_back(static_cast<uint8_t>(0x31 + i % 64));
  Bytes end(endBytes, 0);
  end[0] = 0x16;
  return Cat({item, {0, 0, 0, 0}, Utf16(name), kNul, end});
}

// Fields in stored order, each followed by an empty pair, so that walking
// from the end the last field is met first (between the 1st and 2nd empty
// pairs counted from the end).
Bytes Fields(std::initializer_list<std::string> fields) {
  Bytes value{0x41, 0x42};
  for (const std::string& f : fields) {
    value.insert(value.end(), {0, 0});
    value.insert(value.end(), f.begin(), f.end());
  }
  value.push_back(0);  // with the reader's zero, the first pair from the end is empty
  return value;
}

// The same with UTF-16 fields whose characters coincide with the walk's pairs.
Bytes Utf16Fields(std::initializer_list<std::u16string_view> fields) {
  Bytes value = Utf16(u"A");
  for (std::u16string_view f : fields) value = Cat({value, kNul, Utf16(f)});
  value.push_back(0);
  return value;
}

std::string Leading(const Bytes& entry, TextClass c = TextClass::kEn) {
  return DecodeLeadingText(entry, c, StandInConvert);
}
std::string Trailing(const Bytes& entry, TextClass c = TextClass::kEn) {
  return DecodeTrailingName(entry, c, StandInConvert);
}

TEST(MruDecode, TextClassComesFromTheLocaleIdentifier) {
  const std::pair<uint32_t, TextClass> cases[] = {
      {0x0804, TextClass::kAsia}, {0x0404, TextClass::kAsia}, {0x0C04, TextClass::kAsia}, {0x1004, TextClass::kAsia},
      {0x0412, TextClass::kAsia}, {0x0812, TextClass::kAsia}, {0x0411, TextClass::kJan},  {0x0409, TextClass::kEn},
      {0x0407, TextClass::kEn},   {0x0809, TextClass::kEn},   {0x1404, TextClass::kEn},   {0x0000, TextClass::kEn}};
  for (const auto& [lcid, expected] : cases) EXPECT_EQ(TextClassForLcid(lcid), expected) << std::hex << lcid;
  EXPECT_EQ(TextClassName(TextClass::kEn), "en");
  EXPECT_EQ(TextClassName(TextClass::kAsia), "asia");
  EXPECT_EQ(TextClassName(TextClass::kJan), "jan");
}

TEST(MruDecode, ReverseBytesAddsOneZero) {
  EXPECT_EQ(ReverseBytes({1, 2, 3}), (Bytes{3, 2, 1, 0}));
  EXPECT_EQ(ReverseBytes({}), (Bytes{0}));
}

TEST(MruDecode, LeadingTextIsTheProgramNameBeforeTheItemList) {
  const Bytes lastVisited = Entry(Cat({Utf16(u"notepad.exe"), kNul, kItemList}));
  for (TextClass c : {TextClass::kEn, TextClass::kAsia, TextClass::kJan}) {
    EXPECT_EQ(Leading(lastVisited, c), "notepad.exe") << TextClassName(c);
  }
  // FirstFolder: program, then folder; the first string is the text.
  EXPECT_EQ(Leading(Entry(Cat({Utf16(u"C:\\Tools\\app.exe"), kNul, Utf16(u"C:\\Users"), kNul}))), "C:\\Tools\\app.exe");
  // WordWheelQuery: the search words and their NUL.
  EXPECT_EQ(Leading(Entry(Cat({Utf16(u"hyth"), kNul}))), "hyth");
  // A value of odd length.
  EXPECT_EQ(Leading(Entry(Cat({Utf16(u"ab"), kNul, {7}}))), "ab");
  EXPECT_EQ(Leading(Entry(Cat({Utf16(u"\u3072\u3089.txt"), kNul})), TextClass::kJan), "\u3072\u3089.txt");
}

TEST(MruDecode, LeadingTextNeedsAnEmptyPair) {
  EXPECT_EQ(Leading(Entry({1, 2, 3, 4})), "");  // no empty pair before the end
  EXPECT_EQ(Leading(Entry({1, 2, 3})), "");     // the last pair is (3, extra zero)
  EXPECT_EQ(Leading({0, 0}), "");               // a missing value
  EXPECT_EQ(Leading({0}), "");                  // an empty value
  EXPECT_EQ(Leading({}), "");                   // a missing key
  EXPECT_EQ(Leading(Entry(Cat({kNul, Utf16(u"late")}))), "");
}

TEST(MruDecode, TrailingNameOfARealOpenSaveEntry) {
  for (TextClass c : {TextClass::kEn, TextClass::kAsia, TextClass::kJan}) {
    EXPECT_EQ(Trailing(Entry(kAshPng), c), "ash.png") << TextClassName(c);
  }
}

TEST(MruDecode, TrailingNameReadsUtf16NamesAtEitherAlignment) {
  for (size_t itemBytes : {20u, 21u}) {
    for (size_t endBytes : {4u, 5u}) {
      SCOPED_TRACE(testing::Message() << itemBytes << " item bytes, " << endBytes << " end bytes");
      const Bytes entry = Entry(FileItem(u"\u3072\u3089\u304c\u306a.txt", itemBytes, endBytes));
      EXPECT_EQ(Trailing(entry, TextClass::kAsia), "\u3072\u3089\u304c\u306a.txt");
      EXPECT_EQ(Trailing(entry, TextClass::kJan), "\u3072\u3089\u304c\u306a.txt");
      EXPECT_EQ(Trailing(Entry(FileItem(u"\uff21\uff22.doc", itemBytes, endBytes)), TextClass::kAsia),
                "\uff21\uff22.doc");
      // ASCII names read the same in every class.
      const Bytes ascii = Entry(FileItem(u"report.pdf", itemBytes, endBytes));
      for (TextClass c : {TextClass::kEn, TextClass::kAsia, TextClass::kJan}) {
        EXPECT_EQ(Trailing(ascii, c), "report.pdf") << TextClassName(c);
      }
    }
  }
}

TEST(MruDecode, TrailingNameTriesTheFieldsAtTheFourthAndFifthEmptyPairs) {
  // Read from the end: F1 = "f1", F2 = "f2", F3 = ..., F4 = ...
  EXPECT_EQ(Trailing(Entry(Fields({"name", "F4", "long", "f2", "f1"}))), "long");  // F3, at the 4th
  EXPECT_EQ(Trailing(Entry(Fields({"xx", "name", "ab", "f2", "f1"}))), "name");    // F3 too short: F4
  EXPECT_EQ(Trailing(Entry(Fields({"name", " a  ", "f2", "f1"}))), "name");        // blanks do not count
  // "asia" goes on to F4 the same way; "jan" takes F3 whatever its length.
  const Bytes utf16 = Entry(Utf16Fields({u"name", u"ab", u"f2", u"f1"}));
  EXPECT_EQ(Trailing(utf16, TextClass::kAsia), "name");
  EXPECT_EQ(Trailing(utf16, TextClass::kJan), "ab");
}

TEST(MruDecode, TrailingNameFallsBackToTheFourteenthToSixteenthEmptyPairs) {
  // F3 ... F12 all short; F13 (met at the 14th empty pair) holds the path.
  Bytes entry = Entry(
      Fields({"ab", "ab", "ab", "C:\\paths", "ab", "ab", "ab", "ab", "ab", "ab", "ab", "ab", "ab", "ab", "ab", "ab"}));
  EXPECT_EQ(Trailing(entry), "C:\\paths");
  // F6 (at the 7th empty pair) is never tried; the last text made (F15) wins.
  entry = Entry(Fields({"ab", "cd", "ef", "gh", "ij", "kl", "mn", "op", "qr", "long", "st", "uv", "wx", "yz", "12"}));
  EXPECT_EQ(Trailing(entry), "ab");
  // Too few empty pairs: nothing at all.
  EXPECT_EQ(Trailing(Entry(Fields({"long", "f1"}))), "");
}

TEST(MruDecode, TrailingNameOfShortOrEmptyValues) {
  EXPECT_EQ(Trailing(Entry({0x41})), "");  // shorter than 2 bytes: no pair is looked at
  EXPECT_EQ(Trailing({0, 0}), "");
  EXPECT_EQ(Trailing({}), "");
  EXPECT_EQ(Trailing(Entry({1, 2, 3, 4, 5, 6, 7, 8})), "");  // no empty pair
}

TEST(MruDecode, HugeAndHostileValuesStayLinear) {
  // 2 MB of alternating empty and non-empty pairs: every reset of the field must
  // be cheap, and neither walk may read past the end.
  Bytes big;
  for (size_t i = 0; i < (2u << 20) / 4; ++i) big.insert(big.end(), {0x41, 0x42, 0, 0});
  EXPECT_EQ(Trailing(Entry(big)), "");
  EXPECT_EQ(Leading(Entry(big)), "AB");
  Bytes noZero(8u << 20, 0x41);
  EXPECT_EQ(Leading(Entry(noZero)), "");
  EXPECT_EQ(Trailing(Entry(noZero)), "");
  EXPECT_EQ(CountCharacters("a\xC3\xB6\xE6\x9D\xB1"), 3u);
}

}  // namespace
}  // namespace tmr
