#include <gtest/gtest.h>

#include <random>

#include "report/HtmlReport.h"

namespace tmr {
namespace {

// Against the plain reading of the rule (every & < > " replaced, the text
// ending at its first NUL), with the characters at every place around the
// sixteen-byte steps of the scan.
TEST(EscapeHtml, MatchesTheCharacterByCharacterRule) {
  auto reference = [](std::string_view text) {
    std::string out;
    for (char c : text.substr(0, text.find('\0'))) {
      if (c == '&')
        out += "&amp;";
      else if (c == '<')
        out += "&lt;";
      else if (c == '>')
        out += "&gt;";
      else if (c == '"')
        out += "&quot;";
      else
        out += c;
    }
    return out;
  };
  std::mt19937 random(812);
  const char specials[] = {'&', '<', '>', '"', '\0', '\xC3', '\xA9', '\''};
  for (int round = 0; round < 5000; ++round) {
    std::string text(static_cast<size_t>(random() % 60), 'x');
    for (char& c : text) c = random() % 6 ? static_cast<char>('a' + random() % 26) : specials[random() % 8];
    std::string out = "kept:";
    AppendEscapedHtml(out, text);
    ASSERT_EQ(out, "kept:" + reference(text)) << "round " << round;
  }
}

}  // namespace
}  // namespace tmr
