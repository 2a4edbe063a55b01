#include <gtest/gtest.h>

#include "common/TextUtil.h"

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

}  // namespace
}  // namespace tmr
