#include <gtest/gtest.h>

#include "iehistory/CookieRules.h"

namespace tmr {
namespace {

TEST(CookieRules, NameTestsAreCaseSensitive) {
  struct Case {
    const char* name;
    CookieEntry expected;
  };
  const Case cases[] = {
      {"user@site[1].txt", CookieEntry::kListName},
      {"user@site", CookieEntry::kListName},
      {"ABC123.txt", CookieEntry::kReadFile},
      {"notes.txt.bak", CookieEntry::kReadFile},
      {"ABC123.TXT", CookieEntry::kSkip},
      {"ABC123.Txt", CookieEntry::kSkip},
      {"index.dat", CookieEntry::kSkip},
      {"desktop.ini", CookieEntry::kSkip},
      {"Low", CookieEntry::kSkip},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyCookieEntry(c.name), c.expected) << c.name;
}

TEST(CookieRules, SiteIsTheThirdPieceOfTheFirstLineAsALineReadGivesIt) {
  struct Case {
    const char* name;
    std::string content;
    std::optional<std::string> site;
  };
  const std::vector<Case> cases = {
      {"records ended by line feeds only", "name\nvalue\nsite.com/\n9728\n*\n", "site.com/"},
      {"no line end at all", "name\nvalue\nsite.com/", "site.com/"},
      {"a carriage return ends the line", "name\nvalue\nsite.com/\rmore\nlines\n", "site.com/"},
      {"CR LF lines: the first line is one piece", "name\r\nvalue\r\nsite.com/\r\n", std::nullopt},
      {"two pieces", "name\nvalue", std::nullopt},
      {"third piece empty", "name\nvalue\n", ""},
      {"empty first line", "\rname\nvalue\nsite\n", std::nullopt},
      {"empty file", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(CookieSiteFromContent(c.content), c.site) << c.name;
  EXPECT_EQ(FirstTextLine("a\nb\r\nc"), std::optional<std::string_view>("a\nb"));
}

}  // namespace
}  // namespace tmr
