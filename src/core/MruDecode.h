// Turning one binary MRU entry into a line of text. Both decoders are byte-
// pair heuristics over the entry as the binary reader returns it (the
// value's bytes plus one extra zero byte): text is what lies between
// all-zero byte pairs. They never parse the shell's item structures.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

using Bytes = std::vector<uint8_t>;

// How collected bytes become text, chosen from the system default locale.
enum class TextClass {
  kEn,    // bytes through the ANSI code page, NULs dropped
  kAsia,  // UTF-16LE, full-width folded to half-width, NULs dropped
  kJan,   // UTF-16LE, hiragana folded to katakana, NULs dropped
};

// "en", "asia" or "jan".
std::string TextClassName(TextClass textClass);

// Chinese and Korean locales give kAsia, Japanese kJan, every other kEn.
TextClass TextClassForLcid(uint32_t lcid);

// Converts the bytes a decoder collected into UTF-8 text by the class. The
// real one goes through the system's code page and string mappings; tests of
// the walk may pass their own.
using MruTextConverter = std::function<std::string(TextClass, const Bytes&)>;

// A new array one longer than the input: its bytes in reverse order, then a
// zero byte.
Bytes ReverseBytes(const Bytes& bytes);

// The text at the start of the entry: every pair up to the first empty one.
// "" when the entry has no empty pair (or no bytes at all).
std::string DecodeLeadingText(const Bytes& entry, TextClass textClass, const MruTextConverter& convert);

// The file name near the end of the entry, found by counting empty pairs
// from the end (see the .cpp for which fields are tried).
std::string DecodeTrailingName(const Bytes& entry, TextClass textClass, const MruTextConverter& convert);

// Number of characters (code points) of UTF-8 text.
size_t CountCharacters(std::string_view utf8);

}  // namespace tmr
