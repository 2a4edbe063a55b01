#include "core/CaseFold.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "core/Utf8Text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tmr {
namespace {

constexpr std::array<unsigned char, 256> kAsciiFold = [] {
  std::array<unsigned char, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i + 32 : i);
  return table;
}();

unsigned char FoldAscii(char c) { return kAsciiFold[static_cast<unsigned char>(c)]; }

bool IsSmallAsciiLetter(char c) { return c >= 'a' && c <= 'z'; }

bool InRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

// Ranges where capital and small letters alternate, the capital first on
// an even (evenCapital) or odd code point.
struct PairRange {
  char32_t first;
  char32_t last;
  bool evenCapital;
};

constexpr PairRange kPairRanges[] = {
    {0x0100, 0x012F, true},  {0x0132, 0x0137, true},  {0x0139, 0x0148, false}, {0x014A, 0x0177, true},
    {0x0179, 0x017E, false}, {0x01CD, 0x01DC, false}, {0x01DE, 0x01EF, true},  {0x01F8, 0x021F, true},
    {0x0222, 0x0233, true},  {0x0460, 0x0481, true},  {0x048A, 0x04BF, true},  {0x04C1, 0x04CE, false},
    {0x04D0, 0x052F, true},  {0x1E00, 0x1E95, true},  {0x1EA0, 0x1EFF, true},
};

// Ranges whose capitals sit at a fixed distance below their small letters.
struct ShiftRange {
  char32_t first;
  char32_t last;
  char32_t shift;
};

constexpr ShiftRange kShiftRanges[] = {
    {0x00C0, 0x00D6, 32}, {0x00D8, 0x00DE, 32}, {0x0388, 0x038A, 37}, {0x038E, 0x038F, 63}, {0x0391, 0x03A1, 32},
    {0x03A3, 0x03AB, 32}, {0x0400, 0x040F, 80}, {0x0410, 0x042F, 32}, {0x0531, 0x0556, 48}, {0xFF21, 0xFF3A, 32},
};

// Where the needle (folded ASCII) first occurs in the text at or after
// `from`, letters of the text folded; npos for nowhere.
std::size_t FindAscii(std::string_view text, std::string_view needle, std::size_t from) {
  const std::size_t n = needle.size();
  if (n == 0 || n > text.size()) return n == 0 ? from : std::string_view::npos;
  const std::size_t lastStart = text.size() - n;
  auto restMatches = [&](std::size_t at) {
    for (std::size_t k = 1; k < n; ++k) {
      if (FoldAscii(text[at + k]) != static_cast<unsigned char>(needle[k])) return false;
    }
    return true;
  };
  std::size_t i = from;
#if defined(__SSE2__)
  // Sixteen starts at a time: the first and the last byte of the needle
  // must both be there. A small letter in the needle stands for both of its
  // forms, as a letter's capital differs only in bit 0x20; no byte other
  // than the letter's capital becomes the small letter by setting that bit.
  const __m128i first = _mm_set1_epi8(needle[0]);
  const __m128i last = _mm_set1_epi8(needle[n - 1]);
  const __m128i firstCase = _mm_set1_epi8(IsSmallAsciiLetter(needle[0]) ? 0x20 : 0);
  const __m128i lastCase = _mm_set1_epi8(IsSmallAsciiLetter(needle[n - 1]) ? 0x20 : 0);
  for (; i + 16 <= lastStart + 1; i += 16) {
    const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i)), firstCase);
    const __m128i b =
        _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + n - 1)), lastCase);
    auto hits =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
    while (hits) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(hits));
      if (restMatches(at)) return at;
      hits &= hits - 1;
    }
  }
#endif
  for (; i <= lastStart; ++i) {
    if (FoldAscii(text[i]) == static_cast<unsigned char>(needle[0]) && restMatches(i)) return i;
  }
  return std::string_view::npos;
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

// The text as the list shows it: up to its first NUL.
bool BeforeNul(std::string_view text, std::size_t at) { return std::memchr(text.data(), 0, at) == nullptr; }

}  // namespace

char32_t FoldCase(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  for (const ShiftRange& range : kShiftRanges) {
    if (InRange(c, range.first, range.last)) return c + range.shift;
  }
  for (const PairRange& range : kPairRanges) {
    if (InRange(c, range.first, range.last)) return ((c % 2 == 0) == range.evenCapital) ? c + 1 : c;
  }
  switch (c) {
    case 0x0178: return 0x00FF;  // Ÿ
    case 0x0386: return 0x03AC;  // Ά
    case 0x038C: return 0x03CC;  // Ό
    case 0x03C2: return 0x03C3;  // final sigma, found by "σ" and "Σ"
    case 0x04C0: return 0x04CF;  // Ӏ
    default: return c;
  }
}

std::string FoldCaseUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = DecodeStrictUtf8(text, i, codePoint);
    if (length <= 1) {
      out += static_cast<char>(FoldAscii(text[i]));
      ++i;
      continue;
    }
    AppendUtf8(out, FoldCase(codePoint));
    i += length;
  }
  return out;
}

CaseBlindSearch::CaseBlindSearch(std::string_view needle) : folded_(FoldCaseUtf8(needle)) {
  std::size_t runStart = 0;
  for (std::size_t i = 0; i <= folded_.size(); ++i) {
    if (i < folded_.size() && static_cast<unsigned char>(folded_[i]) < 0x80) continue;
    if (i < folded_.size()) ascii_ = false;
    if (i - runStart > asciiRun_.size()) {
      asciiRun_ = folded_.substr(runStart, i - runStart);
      asciiRunAt_ = runStart;
    }
    runStart = i + 1;
  }
}

bool CaseBlindSearch::Narrows(const CaseBlindSearch& wider) const {
  return folded_.find(wider.folded_) != std::string::npos;
}

bool CaseBlindSearch::FoundIn(std::string_view text) const {
  if (folded_.empty()) return true;
  return ascii_ ? FoundAscii(text) : FoundAnyScript(text);
}

bool CaseBlindSearch::FoundAscii(std::string_view text) const {
  const std::size_t at = FindAscii(text, folded_, 0);
  return at != std::string_view::npos && BeforeNul(text, at);
}

bool CaseBlindSearch::FoundAnyScript(std::string_view text) const {
  if (folded_.size() > text.size()) return false;
  if (asciiRun_.empty()) {
    for (std::size_t at = 0; at + folded_.size() <= text.size(); ++at) {
      if (text[at] == '\0') return false;
      if (!IsContinuation(text[at]) && MatchesAt(text, at)) return true;
    }
    return false;
  }
  // Folding keeps every letter's length, so the ASCII run sits at the same
  // offset in a match as in the needle.
  for (std::size_t from = asciiRunAt_;;) {
    const std::size_t run = FindAscii(text, asciiRun_, from);
    if (run == std::string_view::npos) return false;
    const std::size_t at = run - asciiRunAt_;
    if (at + folded_.size() <= text.size() && !IsContinuation(text[at]) && MatchesAt(text, at)) {
      return BeforeNul(text, at);
    }
    from = run + 1;
  }
}

bool CaseBlindSearch::MatchesAt(std::string_view text, std::size_t at) const {
  std::string letter;
  for (std::size_t j = 0; j < folded_.size();) {
    const std::size_t i = at + j;
    if (i >= text.size()) return false;
    char32_t codePoint = 0;
    const std::size_t length = DecodeStrictUtf8(text, i, codePoint);
    if (length <= 1) {
      if (FoldAscii(text[i]) != static_cast<unsigned char>(folded_[j])) return false;
      ++j;
      continue;
    }
    letter.clear();
    AppendUtf8(letter, FoldCase(codePoint));
    if (folded_.compare(j, letter.size(), letter) != 0) return false;
    j += length;
  }
  return true;
}

}  // namespace tmr
