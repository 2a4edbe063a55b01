// The texts the browsers keep about their profiles and downloads.
#include <gtest/gtest.h>

#include <string>

#include "core/BrowserProfileLists.h"
#include "core/DownloadTexts.h"
#include "core/JsonText.h"

namespace tmr {
namespace {

TEST(ParseJson, AcceptsTheGrammarAndNothingElse) {
  auto doc = ParseJson(R"( {"a": [1, -2.5e3, true, null], "b": {"c": "x\"\\\/\u00e9\ud83d\ude00\ud800"}} )");
  ASSERT_TRUE(doc.has_value());
  const JsonValue* c = doc->Member("b")->Member("c");
  ASSERT_NE(c, nullptr);
  // Escapes decoded; a surrogate pair is one character, a lone half none.
  EXPECT_EQ(*c->String(), "x\"\\/\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD");
  EXPECT_EQ(doc->Member("a")->Number(), std::nullopt);

  for (const char* bad : {"", "{", "{\"a\":1,}", "[1 2]", "01", "1.", "-", "\"\x01\"", "{\"a\":1} x", "1e400",
                          "\"\\x\"", "\"\\u12\"", "tru", "{a:1}"}) {
    EXPECT_FALSE(ParseJson(bad).has_value()) << bad;
  }
  EXPECT_TRUE(ParseJson(std::string(64, '[') + std::string(64, ']')).has_value());
  EXPECT_FALSE(ParseJson(std::string(66, '[') + std::string(66, ']')).has_value());
}

TEST(DownloadTexts, FileUrisAndTheEndOfTheMetadata) {
  EXPECT_EQ(FileUriToWindowsPath("file:///C:/Users/Ann/Down%20loads/K%C3%B6ln%2B1.pdf"),
            "C:\\Users\\Ann\\Down loads\\K\xC3\xB6ln+1.pdf");
  EXPECT_EQ(FileUriToWindowsPath("FILE:///D:/a%zz%4"), "D:\\a%zz%4");
  EXPECT_EQ(FileUriToWindowsPath("file:///C:/%FF.txt"), "C:\\\xC3\xBF.txt");  // no UTF-8: read byte by byte
  EXPECT_EQ(FileUriToWindowsPath("https://x/y"), "https://x/y");

  EXPECT_EQ(DownloadEndTimeMs(R"({"state":1,"endTime":1735689600123,"fileSize":10})"), 1735689600123.0);
  EXPECT_EQ(DownloadEndTimeMs(R"({"state":1,"fileSize":10})"), std::nullopt);
  EXPECT_EQ(DownloadEndTimeMs(R"({"endTime":"1735689600123"})"), std::nullopt);
  EXPECT_EQ(DownloadEndTimeMs(R"({"endTime":1735689600123)"), std::nullopt);  // cut short
}

TEST(DefaultFirefoxProfile, InstallFirstThenDefaultThenNothing) {
  const std::string folder = "C:\\Users\\Ann\\AppData\\Roaming\\Mozilla\\Firefox";
  struct Case {
    const char* name;
    const char* ini;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"install's default wins over Default=1",
       "[Profile1]\nName=old\nIsRelative=1\nPath=Profiles/a.default\nDefault=1\n"
       "[Profile0]\nName=release\nIsRelative=1\nPath=Profiles/b.default-release\n"
       "[Install4F96D1932A9F858E]\nDefault=Profiles/b.default-release\nLocked=1\n",
       folder + "\\Profiles\\b.default-release"},
      {"without an install section, Default=1",
       "[Profile0]\nPath=Profiles/x\nIsRelative=1\n[Profile1]\r\n"
       "Path=Profiles/y\r\nIsRelative=1\r\nDefault=1\r\n",
       folder + "\\Profiles\\y"},
      {"an absolute path stays",
       "\xEF\xBB\xBF[General]\nVersion=2\n[Profile0]\nIsRelative=0\nPath=D:\\ff\\p\nDefault=1\n",
       std::string("D:\\ff\\p")},
      {"an install default no profile lists", "[Install1]\nDefault=E:/moved/p\n", std::string("E:\\moved\\p")},
      {"nothing named", "[Profile0]\nName=p\nIsRelative=1\nPath=Profiles/p\n", std::nullopt},
      {"no text at all", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(DefaultFirefoxProfile(c.ini, folder), c.expected) << c.name;

  const auto listed = FirefoxProfiles(cases[0].ini, folder);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].name, "old");
  EXPECT_EQ(listed[0].folder, folder + "\\Profiles\\a.default");
}

}  // namespace
}  // namespace tmr
