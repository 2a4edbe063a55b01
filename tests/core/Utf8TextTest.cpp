#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/Utf8Text.h"

namespace tmr {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

// Strict UTF-8 check (no overlong forms, no surrogates, at most U+10FFFF),
// written apart from the decoder it judges.
bool IsWellFormed(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    auto b = static_cast<uint8_t>(s[i]);
    int n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    uint32_t v = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < n; ++k) {
      auto c = static_cast<uint8_t>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      v = (v << 6) | (c & 0x3F);
    }
    static constexpr uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < kMin[n] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
    i += static_cast<size_t>(n);
  }
  return true;
}

struct DecodeCase {
  const char* what;
  std::string bytes;
  std::string expected;
};

TEST(Utf8Decode, LenientByteSequences) {
  const std::string replacement = "\xEF\xBF\xBD";
  const DecodeCase cases[] = {
      {"three characters", Bytes({0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC}), "A\xC3\xA9\xE2\x82\xAC"},
      {"cut-off final sequence", Bytes({0x41, 0xC3}), "A?"},
      {"second byte taken as continuation", Bytes({0xC3, 0x41}), "\xC3\x81"},
      {"cut-off alone", Bytes({0xE2, 0x82}), "?"},
      {"empty", "", ""},
      {"cut-off stops the text", Bytes({0x78, 0xF0, 0x41, 0x42}), "x?"},
      {"overlong forms are not rejected", Bytes({0xC1, 0x81, 0xE0, 0x81, 0x82}), "AB"},
      {"overlong zero", Bytes({0x61, 0xC0, 0x80, 0x62}), std::string("a\0b", 3)},
      {"stray continuation byte through the code page", Bytes({0x80, 0xBF}), "\xC2\x80\xC2\xBF"},
      {"four bytes keep their character", Bytes({0xF0, 0x9F, 0x98, 0x80}), "\xF0\x9F\x98\x80"},
      {"highest character", Bytes({0xF4, 0x8F, 0xBF, 0xBF}), "\xF4\x8F\xBF\xBF"},
      {"beyond the last character", Bytes({0xF7, 0xBF, 0xBF, 0xBF}), replacement},
      {"five bytes", Bytes({0xF8, 0x88, 0x80, 0x80, 0x80, 0x41}), replacement + "A"},
      {"six bytes", Bytes({0xFC, 0x84, 0x80, 0x80, 0x80, 0x80}), replacement},
      {"surrogate halves stored apart join up", Bytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}), "\xF0\x9F\x98\x80"},
      {"lone high half", Bytes({0xED, 0xA0, 0xBD, 0x41}), replacement + "A"},
      {"lone low half", Bytes({0xED, 0xB8, 0x80}), replacement},
      {"high half before a cut", Bytes({0xED, 0xA0, 0xBD, 0xC3}), replacement + "?"},
  };
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(Utf8Decode(c.bytes, Latin1StrayBytes()), c.expected) << c.what;
  }
}

TEST(Utf8Decode, StrayBytesUseTheGivenCodePage) {
  StrayByteTable table = Latin1StrayBytes();
  table[0x80 - 0x80] = U'\u20AC';  // 0x80 is the euro sign in Windows-1252
  table[0x81 - 0x80] = 0;          // a byte without a character
  EXPECT_EQ(Utf8Decode(Bytes({0x80, 0x81, 0x41}), table), "\xE2\x82\xAC?A");
}

TEST(Utf8PtrToString, StopsAtTheFirstZeroOrTheLimit) {
  EXPECT_EQ(Utf8PtrToString(nullptr, 10, Latin1StrayBytes()), "");
  const char zero[] = "\0abc";
  EXPECT_EQ(Utf8PtrToString(zero, 4, Latin1StrayBytes()), "");
  const char text[] = "ab\xC3\xA9\0tail";
  EXPECT_EQ(Utf8PtrToString(text, sizeof text - 1, Latin1StrayBytes()), "ab\xC3\xA9");
  // No zero within the limit: nothing past it is read.
  EXPECT_EQ(Utf8PtrToString(text, 3, Latin1StrayBytes()), "ab?");
}

// The view gives exactly the text the copy gives, whether it points at the
// bytes themselves or at the scratch buffer, for text around the eight-byte
// steps of its scan: zero bytes, high bytes and the limit at every place.
TEST(Utf8PtrToView, GivesTheTextOfTheCopy) {
  std::string scratch = "left over";
  EXPECT_EQ(Utf8PtrToView(nullptr, 10, scratch, Latin1StrayBytes()), "");
  std::mt19937 random(8122026);
  const unsigned char alphabet[] = {'a', 'Z', '0', 0x00, 0x7F, 0x80, 0xC3, 0xA9, 0xE2, 0xF0, 0x01};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
  std::uniform_int_distribution<int> length(0, 40);
  for (int round = 0; round < 20000; ++round) {
    std::string input;
    const int n = length(random);
    for (int i = 0; i < n; ++i) {
      // Mostly ASCII, so that long clean runs occur.
      input.push_back(static_cast<char>(random() % 4 ? 'a' + random() % 26 : alphabet[pick(random)]));
    }
    const std::size_t limit = input.empty() ? 0 : random() % (input.size() + 1);
    std::string_view view = Utf8PtrToView(input.data(), limit, scratch, Latin1StrayBytes());
    ASSERT_EQ(view, Utf8PtrToString(input.data(), limit, Latin1StrayBytes())) << "round " << round;
    const bool inScratch = view.data() == scratch.data();
    const bool inInput = view.data() >= input.data() && view.data() + view.size() <= input.data() + limit;
    ASSERT_TRUE(inScratch || inInput || view.empty()) << "round " << round;
  }
}

TEST(Utf8Encode, PairsBecomeOneCharacterAndLoneHalvesTheReplacement) {
  EXPECT_EQ(Utf8Encode(u""), "");
  EXPECT_EQ(Utf8Encode(u"A\u00e9\u20ac"), "A\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Utf8Encode(u"\U0001F600"), "\xF0\x9F\x98\x80");
  std::u16string lone{u'a', static_cast<char16_t>(0xD83D), u'b', static_cast<char16_t>(0xDE00)};
  EXPECT_EQ(Utf8Encode(lone),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

// Random bytes, and well-formed text with random damage: the decoder never
// reads out of bounds (the sanitizers watch), always gives well-formed
// text, and leaves well-formed text as it is.
TEST(Utf8Decode, FuzzedInputGivesWellFormedText) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 48);
  for (int round = 0; round < 20000; ++round) {
    std::string input;
    for (int n = length(random); n > 0; --n) input.push_back(static_cast<char>(byte(random)));
    std::string output = Utf8Decode(input, Latin1StrayBytes());
    ASSERT_TRUE(IsWellFormed(output)) << "round " << round;
  }

  std::uniform_int_distribution<uint32_t> codePoint(1, 0x10FFFF);
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    for (int n = length(random) / 4; n > 0; --n) {
      char32_t v = codePoint(random);
      if (v >= 0xD800 && v <= 0xDFFF) v = 0xFFFD;
      AppendUtf8(text, v);
    }
    ASSERT_EQ(Utf8Decode(text, Latin1StrayBytes()), text);
    if (!text.empty()) {
      std::string damaged = text;
      damaged[random() % damaged.size()] = static_cast<char>(byte(random));
      damaged.resize(random() % (damaged.size() + 1));
      ASSERT_TRUE(IsWellFormed(Utf8Decode(damaged, Latin1StrayBytes())));
    }
  }
}

}  // namespace
}  // namespace tmr
