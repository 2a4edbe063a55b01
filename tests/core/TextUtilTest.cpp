#include <gtest/gtest.h>

#include <random>

#include "core/TextUtil.h"

namespace tmr {
namespace {

using Pieces = std::vector<std::string>;

TEST(TextUtil, SplitKeepsEmptyPiecesAndGivesNoneForEmptyText) {
  EXPECT_EQ(Split("a,b,", ","), (Pieces{"a", "b", ""}));
  EXPECT_EQ(Split("a,,b", ","), (Pieces{"a", "", "b"}));
  EXPECT_EQ(Split(",", ","), (Pieces{"", ""}));
  EXPECT_EQ(Split("abc", ","), (Pieces{"abc"}));
  EXPECT_TRUE(Split("", ",").empty());
  EXPECT_EQ(Split("x^^y", "^"), (Pieces{"x", "", "y"}));
}

TEST(TextUtil, TrimDropsBlanksOnly) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
}

TEST(TextUtil, ReplaceAllIsLeftToRightAndNonOverlapping) {
  EXPECT_EQ(ReplaceAll("new%20york%20city", "%20", " "), "new york city");
  EXPECT_EQ(ReplaceAll("%2020", "%20", " "), " 20");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("a+b", "%20", " "), "a+b");
}

TEST(TextUtil, CaseAndNulHelpers) {
  EXPECT_TRUE(ContainsIgnoreCase("CHROME.EXE", "chrome.exe"));
  EXPECT_FALSE(Contains("CHROME.EXE", "chrome.exe"));
  EXPECT_TRUE(StartsWith("https://x", "http"));
  EXPECT_FALSE(StartsWith("HTTP://x", "http"));
  EXPECT_TRUE(EndsWith("C:\\dir\\", "\\"));
  EXPECT_EQ(CutAtNul(std::string("http://a/\0junk", 14)), "http://a/");
  EXPECT_EQ(CutAtNul("plain"), "plain");
}

// Against the character-by-character reading, at lengths around the
// sixteen-byte steps, with a high byte at every place in some texts.
TEST(TextUtil, WidenAsciiMatchesTheCharacterByCharacterForm) {
  std::mt19937 random(1208);
  for (int round = 0; round < 4000; ++round) {
    std::string text(static_cast<size_t>(random() % 70), 'a');
    for (char& c : text) c = static_cast<char>(1 + random() % 127);
    const bool damaged = !text.empty() && round % 3 == 0;
    if (damaged) text[random() % text.size()] = static_cast<char>(0x80 + random() % 128);
    std::string out(text.size() * 2 + 2, '#');
    const bool ascii = WidenAscii(text, out.data());
    ASSERT_EQ(ascii, !damaged) << "round " << round;
    ASSERT_EQ(out.substr(text.size() * 2), "##") << "round " << round;  // nothing past the room
    if (!ascii) continue;
    for (size_t i = 0; i < text.size(); ++i) {
      ASSERT_EQ(out[2 * i], text[i]) << "round " << round << " at " << i;
      ASSERT_EQ(out[2 * i + 1], '\0') << "round " << round << " at " << i;
    }
  }
}

}  // namespace
}  // namespace tmr
