// Finding a text in another with letter case ignored, as the list's filter
// does over every cell of a million rows.
//
// Letters are folded to their small form by the simple one-to-one mappings
// of the scripts whose history entries a user is likely to type: Latin
// (ASCII, Latin-1, Extended-A, Extended Additional), Greek, Cyrillic,
// Armenian and fullwidth Latin. Letters of other scripts compare as they
// are. Every mapping keeps the UTF-8 length of the letter and none leads
// into ASCII (so neither "ſ" nor the Kelvin sign matches a plain letter),
// which lets a needle's byte offsets stand for the haystack's too.
#pragma once

#include <string>
#include <string_view>

namespace tmr {

// The small form of a letter; any other code point unchanged.
char32_t FoldCase(char32_t codePoint);

// Every letter of a UTF-8 text folded. Bytes that are not well-formed
// UTF-8 are kept as they are.
std::string FoldCaseUtf8(std::string_view text);

class CaseBlindSearch {
 public:
  CaseBlindSearch() = default;
  explicit CaseBlindSearch(std::string_view needle);

  bool Empty() const { return folded_.empty(); }
  // The needle with its letters folded.
  const std::string& Folded() const { return folded_; }
  // Whether every text this search finds is also found by `wider`, because
  // its needle holds wider's.
  bool Narrows(const CaseBlindSearch& wider) const;

  // Whether the needle occurs in the text, letter case ignored. An empty
  // needle occurs in every text.
  bool FoundIn(std::string_view text) const;

 private:
  bool FoundAscii(std::string_view text) const;
  bool FoundAnyScript(std::string_view text) const;
  // Whether the needle, folded, starts at text[at] (a character boundary).
  bool MatchesAt(std::string_view text, std::size_t at) const;

  std::string folded_;
  bool ascii_ = true;
  // For a needle with other scripts: its longest run of ASCII, found
  // quickly, from which a match is confirmed around it.
  std::string asciiRun_;
  std::size_t asciiRunAt_ = 0;
};

}  // namespace tmr
