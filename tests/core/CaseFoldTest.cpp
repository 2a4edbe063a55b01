#include <gtest/gtest.h>

#include <random>

#include "core/CaseFold.h"
#include "core/Utf8Text.h"

namespace tmr {
namespace {

std::string Utf8(char32_t c) {
  std::string out;
  AppendUtf8(out, c);
  return out;
}

TEST(CaseFold, CapitalsOfEachScriptFoldToTheirSmallLetter) {
  const std::pair<char32_t, char32_t> pairs[] = {
      {U'A', U'a'}, {U'Z', U'z'},   {U'À', U'à'},   {U'Þ', U'þ'}, {U'Ā', U'ā'}, {U'Ľ', U'ľ'}, {U'Ŋ', U'ŋ'},
      {U'Ž', U'ž'}, {U'Ÿ', U'ÿ'},   {U'Ș', U'ș'},   {U'Ǎ', U'ǎ'}, {U'Ά', U'ά'}, {U'Έ', U'έ'}, {U'Ό', U'ό'},
      {U'Ώ', U'ώ'}, {U'Σ', U'σ'},   {U'ς', U'σ'},   {U'Ω', U'ω'}, {U'Ѐ', U'ѐ'}, {U'Џ', U'џ'}, {U'Д', U'д'},
      {U'Я', U'я'}, {U'Ґ', U'ґ'},   {U'Ӂ', U'ӂ'},   {U'Ӏ', U'ӏ'}, {U'Ա', U'ա'}, {U'Ḁ', U'ḁ'}, {U'Ẁ', U'ẁ'},
      {U'Ỹ', U'ỹ'}, {U'Ａ', U'ａ'}, {U'Ｚ', U'ｚ'},
  };
  for (auto [capital, small] : pairs) {
    EXPECT_EQ(FoldCase(capital), small) << static_cast<uint32_t>(capital);
    EXPECT_EQ(FoldCase(small), small) << static_cast<uint32_t>(small);
  }
  // Left alone: signs between the letters, letters whose small form is
  // ASCII or longer, and scripts outside the table.
  for (char32_t same : {U'×', U'÷', U'ß', U'ı', U'İ', U'ſ', U'\u212A', U'ẞ', U'@', U'[', U'€', U'あ', U'𐐀'}) {
    EXPECT_EQ(FoldCase(same), same) << static_cast<uint32_t>(same);
  }
}

TEST(CaseFold, EveryMappingKeepsTheLengthAndStaysOutOfAscii) {
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const char32_t folded = FoldCase(c);
    if (folded == c) continue;
    ASSERT_EQ(Utf8(folded).size(), Utf8(c).size()) << std::hex << static_cast<uint32_t>(c);
    ASSERT_EQ(c < 0x80, folded < 0x80) << std::hex << static_cast<uint32_t>(c);
    ASSERT_EQ(FoldCase(folded), folded) << std::hex << static_cast<uint32_t>(c);
  }
}

TEST(CaseBlindSearch, FindsTheNeedleWhateverTheCase) {
  struct Case {
    const char* needle;
    const char* text;
    bool found;
  };
  const Case cases[] = {
      {"", "", true},
      {"", "anything", true},
      {"google", "https://www.GOOGLE.com/", true},
      {"GoOgLe", "google", true},
      {"googles", "google", false},
      {"a", "", false},
      {"[", "{", false},  // '[' | 0x20 is '{', yet neither is a letter
      {"@", "`", false},
      {"10.0", "Version 10.0.1", true},
      {"müller", "Hans MÜLLER", true},
      {"MÜLLER", "hans müller", true},
      {"mueller", "Müller", false},
      {"привет", "ПРИВЕТ мир", true},
      {"σοφία", "ΣΟΦΊΑ", true},
      {"ς", "Σ", true},
      {"ß", "SS", false},
      {"s", "ſ", false},
      {"ａｂｃ", "ＡＢＣ", true},
      {"𐐀", "x𐐀y", true},
      // The text ends at its first NUL, as the list shows it.
      {"junk", std::string_view("http://x/\0junk").data(), false},
      {"ü", "u\xCC\x88", false},  // a combining mark is another text
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CaseBlindSearch(c.needle).FoundIn(c.text), c.found) << c.needle << " in " << c.text;
  }
  const std::string withNul("abc\0junk", 8);
  EXPECT_TRUE(CaseBlindSearch("ABC").FoundIn(withNul));
  EXPECT_FALSE(CaseBlindSearch("junk").FoundIn(withNul));
  EXPECT_FALSE(CaseBlindSearch("jünk").FoundIn(std::string("abc\0jÜnk", 9)));
}

TEST(CaseBlindSearch, ALongerNeedleNarrowsAShorterOne) {
  EXPECT_TRUE(CaseBlindSearch("Goog").Narrows(CaseBlindSearch("oo")));
  EXPECT_TRUE(CaseBlindSearch("GOOG").Narrows(CaseBlindSearch("goog")));
  EXPECT_TRUE(CaseBlindSearch("x").Narrows(CaseBlindSearch("")));
  EXPECT_FALSE(CaseBlindSearch("goo").Narrows(CaseBlindSearch("goog")));
  EXPECT_FALSE(CaseBlindSearch("").Narrows(CaseBlindSearch("a")));
}

// Against folding both texts whole and searching the plain way, over
// random texts long enough for the sixteen-byte steps and their tails.
TEST(CaseBlindSearch, AgreesWithFoldingBothTextsWhole) {
  const std::u32string alphabet = U"aAbBzZ{[@`0.éÉσΣςдДßſＡａ𐐀";
  const std::u32string otherCase = U"AaBbZz{[@`0.ÉéΣσΣДдßſａＡ𐐀";
  std::mt19937 random(20260817);
  auto pick = [&](std::size_t count) {
    std::u32string picked;
    for (std::size_t i = 0; i < count; ++i) picked += static_cast<char32_t>(random() % alphabet.size());
    return picked;
  };
  auto text = [&](const std::u32string& picked, const std::u32string& from) {
    std::string out;
    for (char32_t i : picked) AppendUtf8(out, from[i]);
    return out;
  };
  int found = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::u32string needleLetters = pick(1 + random() % 4);
    const std::string needle = text(needleLetters, alphabet);
    std::string haystack = text(pick(random() % 48), alphabet);
    for (int nul = static_cast<int>(random() % 8); nul == 0 && !haystack.empty(); nul = 1) {
      haystack[random() % haystack.size()] = '\0';
    }
    // Plant the needle in its other case now and then.
    if (round % 3 == 0) {
      std::size_t at = random() % (haystack.size() + 1);
      while (at < haystack.size() && (static_cast<unsigned char>(haystack[at]) & 0xC0u) == 0x80u) ++at;
      haystack.insert(at, text(needleLetters, otherCase));
    }
    const std::string shown = haystack.substr(0, haystack.find('\0'));
    const bool expected = FoldCaseUtf8(shown).find(FoldCaseUtf8(needle)) != std::string::npos;
    ASSERT_EQ(CaseBlindSearch(needle).FoundIn(haystack), expected) << "needle " << needle << " text " << shown;
    found += expected;
  }
  EXPECT_GT(found, 5000);  // both outcomes are well exercised
  EXPECT_LT(found, 15000);
}

}  // namespace
}  // namespace tmr
