#include "core/MruDecode.h"

#include <algorithm>
#include <array>

#include "core/TextUtil.h"

namespace tmr {
namespace {

bool EmptyPair(const Bytes& entry, size_t first) { return entry[first] == 0 && entry[first + 1] == 0; }

// A text counts as found when it holds more than two characters besides
// leading and trailing blanks.
bool LongEnough(const std::string& text) { return CountCharacters(Trim(text)) > 2; }

bool TriedInEn(unsigned emptyPairs) {
  static constexpr std::array<unsigned, 5> kTried{4, 5, 14, 15, 16};
  return std::find(kTried.begin(), kTried.end(), emptyPairs) != kTried.end();
}

// Characters of UTF-16LE bytes whose low byte is zero but which are not NUL.
// ASCII text read one byte off turns into exactly such characters.
size_t MisreadCharacters(const Bytes& utf16) {
  size_t count = 0;
  for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
    if (utf16[i] == 0 && utf16[i + 1] != 0) ++count;
  }
  return count;
}

// The bytes of one field for the UTF-16 classes. The walk's pairs have a
// fixed parity (they end on the reader's extra zero byte), but a name stands
// at whatever offset the shell item before it leaves, even or odd, so a
// field's pairs may straddle characters or coincide with them. Straddling,
// the walk's own sequence (a zero, the field, a zero) reads right: the leading
// zero is the low byte of the first character. Coinciding, the field alone
// does. The reading without misread characters wins; a tie keeps the first.
Bytes AlignedField(const Bytes& reversedField) {
  Bytes straddling = ReverseBytes(reversedField);
  if (straddling.size() < 2) return straddling;
  Bytes coinciding(straddling.begin() + 1, straddling.end() - 1);
  return MisreadCharacters(coinciding) < MisreadCharacters(straddling) ? coinciding : straddling;
}

}  // namespace

std::string TextClassName(TextClass textClass) {
  switch (textClass) {
    case TextClass::kAsia: return "asia";
    case TextClass::kJan: return "jan";
    case TextClass::kEn: break;
  }
  return "en";
}

TextClass TextClassForLcid(uint32_t lcid) {
  switch (lcid) {
    case 0x0804:  // Chinese (PRC)
    case 0x0404:  // Chinese (Taiwan)
    case 0x0C04:  // Chinese (Hong Kong)
    case 0x1004:  // Chinese (Singapore)
    case 0x0412:  // Korean
    case 0x0812:  // Korean (Johab)
      return TextClass::kAsia;
    case 0x0411:  // Japanese
      return TextClass::kJan;
    default: return TextClass::kEn;
  }
}

Bytes ReverseBytes(const Bytes& bytes) {
  Bytes reversed(bytes.rbegin(), bytes.rend());
  reversed.push_back(0);
  return reversed;
}

size_t CountCharacters(std::string_view utf8) {
  return static_cast<size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string DecodeLeadingText(const Bytes& entry, TextClass textClass, const MruTextConverter& convert) {
  if (entry.size() < 2) return "";
  Bytes collected;
  for (size_t i = 0; i + 1 < entry.size(); i += 2) {
    if (EmptyPair(entry, i)) return convert(textClass, collected);
    collected.push_back(entry[i]);
    collected.push_back(entry[i + 1]);
  }
  return "";
}

// Walks the pairs (i - 1, i) for i = N, N - 2, ... down to 2, N being the
// highest index (the extra zero byte). Each non-empty pair's bytes are
// gathered in reverse order of storage; at each empty pair the field
// gathered since the previous one is a candidate, depending on how many
// empty pairs have been met: "en" tries the 4th, 5th, 14th, 15th and 16th
// and takes the first of more than two characters; "asia" the 4th and 5th
// the same way; "jan" takes the 4th whatever it holds. Only the last field
// is converted, in every class: a buffer that kept every pair since the end
// would put the binary fields that follow a name into the text.
std::string DecodeTrailingName(const Bytes& entry, TextClass textClass, const MruTextConverter& convert) {
  if (entry.size() < 3) return "";
  const size_t highest = entry.size() - 1;
  // The current field, last stored byte first, always followed by a zero.
  Bytes field{0};
  unsigned emptyPairs = 0;
  std::string result;
  for (size_t i = highest; i >= 2; i -= 2) {
    if (!EmptyPair(entry, i - 1)) {
      field.back() = entry[i];
      field.push_back(entry[i - 1]);
      field.push_back(0);
      continue;
    }
    ++emptyPairs;
    switch (textClass) {
      case TextClass::kEn:
        if (TriedInEn(emptyPairs)) {
          result = convert(textClass, ReverseBytes(field));
          if (LongEnough(result)) return result;
        }
        break;
      case TextClass::kAsia:
        if (emptyPairs == 4 || emptyPairs == 5) {
          result = convert(textClass, AlignedField(field));
          if (LongEnough(result)) return result;
        }
        break;
      case TextClass::kJan:
        if (emptyPairs == 4) return convert(textClass, AlignedField(field));
        break;
    }
    field.assign(1, 0);
  }
  return result;
}

}  // namespace tmr
