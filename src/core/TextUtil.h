// Small text helpers over UTF-8 std::string, with the semantics the readers
// rely on: "blanks" are spaces only, splitting keeps empty pieces.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

// Drops leading and trailing blanks (U+0020 only, as the lists expect).
std::string Trim(std::string_view text);

// Splits at every occurrence of sep. An empty text gives no pieces; a text
// ending in sep gives an empty last piece ("a,b," -> a, b, "").
std::vector<std::string> Split(std::string_view text, std::string_view sep);

// Replaces every occurrence of from (non-empty) by to, left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

bool Contains(std::string_view text, std::string_view part);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);

// ASCII-only case folding, enough for file and process names.
std::string ToLowerAscii(std::string_view text);
bool ContainsIgnoreCase(std::string_view text, std::string_view part);

// A number's standard text with up to `digits` significant digits, no
// trailing zeros, an exponent as "E+08", and the given decimal separator.
std::string NumberText(double value, int digits, std::string_view decimalSeparator);

// The text before the first NUL, or the whole text.
std::string CutAtNul(std::string_view text);

// Writes ASCII text as UTF-16 little-endian code units, two bytes per
// character, to out (room for 2 * text.size() bytes). Returns false, with
// out partly written, when the text holds a byte of 0x80 or above.
bool WidenAscii(std::string_view text, char* out);

// Copies the bytes of a short text to `to` and returns the end of the
// copy. The runtime's memcpy is a call with a size dispatch each; list
// cells and report lines copy millions of texts of a few dozen bytes,
// which sixteen bytes at a time (the last sixteen overlapping) take in a
// few moves.
inline char* CopyShortText(char* to, std::string_view text) {
  const char* from = text.data();
  const std::size_t bytes = text.size();
  if (bytes >= 16) {
    std::size_t done = 0;
    for (; done + 16 <= bytes; done += 16) __builtin_memcpy(to + done, from + done, 16);
    if (done < bytes) __builtin_memcpy(to + bytes - 16, from + bytes - 16, 16);
  } else if (bytes >= 8) {
    __builtin_memcpy(to, from, 8);
    __builtin_memcpy(to + bytes - 8, from + bytes - 8, 8);
  } else {
    for (std::size_t i = 0; i < bytes; ++i) to[i] = from[i];
  }
  return to + bytes;
}

}  // namespace tmr
