// Little-endian fields of the shell's binary formats (shell items, links,
// compound files, jump lists), read out of a byte range that came from a
// file or a registry value and is trusted in nothing. A read that would run
// past the end gives zero or an empty text instead of failing, so a parser
// checks the sizes its structure depends on and lets the rest come out
// empty.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tmr {

class ByteRange {
 public:
  ByteRange() = default;
  explicit ByteRange(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t size() const { return bytes_.size(); }
  std::span<const uint8_t> Span() const { return bytes_; }
  bool Has(size_t at, size_t count) const { return at <= bytes_.size() && count <= bytes_.size() - at; }

  // Inline: the parsers read every field through these.
  uint8_t U8(size_t at) const { return Has(at, 1) ? bytes_[at] : 0; }
  uint16_t U16(size_t at) const { return Has(at, 2) ? static_cast<uint16_t>(bytes_[at] | (bytes_[at + 1] << 8)) : 0; }
  uint32_t U32(size_t at) const {
    if (!Has(at, 4)) return 0;
    return static_cast<uint32_t>(bytes_[at]) | (static_cast<uint32_t>(bytes_[at + 1]) << 8) |
           (static_cast<uint32_t>(bytes_[at + 2]) << 16) | (static_cast<uint32_t>(bytes_[at + 3]) << 24);
  }
  uint64_t U64(size_t at) const { return Has(at, 8) ? U32(at) | (static_cast<uint64_t>(U32(at + 4)) << 32) : 0; }

  // The bytes [at, at + count) cut to what the range holds.
  ByteRange Sub(size_t at, size_t count) const;

 private:
  std::span<const uint8_t> bytes_;
};

// A text field and the bytes it took: its terminator included when one was
// found within the limit.
struct TextField {
  std::string text;  // UTF-8
  size_t bytes = 0;
  bool terminated = false;
};

// UTF-16LE from `at` up to the first NUL unit, at most maxUnits units.
// Unpaired surrogates become U+FFFD.
TextField Utf16Field(const ByteRange& range, size_t at, size_t maxUnits);

// Single-byte text up to the first NUL, at most maxBytes. The code page the
// writer used is not recorded, so the bytes are read as ISO-8859-1: ASCII
// comes out right, and anything else still shows as some character.
TextField AnsiField(const ByteRange& range, size_t at, size_t maxBytes);

// Exactly `units` UTF-16LE units (no terminator expected), cut at a NUL
// should one come first; "" when they are not all there.
std::string Utf16Counted(const ByteRange& range, size_t at, size_t units);

// The GUID stored at `at` (mixed-endian, as Windows stores it) in registry
// form: "{20D04FE0-3AEA-1069-A2D8-08002B30309D}"; "" when not all there.
std::string GuidText(const ByteRange& range, size_t at);

// A GUID's 16 bytes as stored, for structures that hold many and show few
// (a jump list's entries and their links' items): the text is made only
// when asked for. The null GUID (all zeros) stands for none stored.
using GuidBytes = std::array<uint8_t, 16>;
// Zeros when not all there.
GuidBytes GuidBytesAt(const ByteRange& range, size_t at);
inline bool IsNullGuid(const GuidBytes& guid) { return guid == GuidBytes{}; }
// The registry form, written into a buffer of its own (no allocation).
struct GuidChars {
  std::array<char, 38> chars{};
  std::string_view View() const { return {chars.data(), chars.size()}; }
};
GuidChars GuidCharsOf(const GuidBytes& guid);
std::string GuidText(const GuidBytes& guid);
// The bytes of a GUID in registry form (hex digits in either case);
// nullopt for any other text.
std::optional<GuidBytes> ParseGuidText(std::string_view text);

// A FAT (MS-DOS) date and time, taken as UTC, as a FILETIME (100 ns since
// 1601); 0 when the date is zero or names no real day or time.
uint64_t FatTimeToFileTime(uint16_t date, uint16_t time);

}  // namespace tmr
