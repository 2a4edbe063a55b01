// Text that SQLite hands over as UTF-8 bytes, made into the program's own
// strings (UTF-8 as well, but always well formed). The decoder is lenient
// on purpose: continuation bytes are not checked, a sequence cut off at the
// end becomes "?", and a stray byte 0x80..0xBF is read through the system's
// ANSI code page, so a damaged or mis-encoded cell still shows something.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tmr {

// The characters of the bytes 0x80..0xBF in a single-byte code page.
using StrayByteTable = std::array<char32_t, 64>;

// ISO-8859-1, where every byte is the character of the same number; used
// where no system code page is at hand.
const StrayByteTable& Latin1StrayBytes();

// The code point of the well-formed UTF-8 sequence at text[at] and the
// sequence's length in bytes; 0 (codePoint untouched) where the bytes there
// are not well formed: overlong, a surrogate, beyond U+10FFFF or cut off.
std::size_t DecodeStrictUtf8(std::string_view text, std::size_t at, char32_t& codePoint);

// Decodes sequence by sequence, by the lead byte's length alone. Values
// above U+FFFF are kept (a surrogate pair in UTF-16); values beyond U+10FFFF
// and surrogate halves that do not pair up become U+FFFD.
std::string Utf8Decode(std::string_view bytes, const StrayByteTable& stray);

// Utf8Decode appending to out, whose earlier content stays.
void Utf8DecodeAppend(std::string& out, std::string_view bytes, const StrayByteTable& stray);

// As Utf8PtrToString, without a copy where none is needed: text that is
// plain ASCII comes back as a view of the bytes themselves, anything else
// is decoded into scratch (its earlier content is dropped) and comes back
// as a view of it.
std::string_view Utf8PtrToView(const char* address, std::size_t maxBytes, std::string& scratch,
                               const StrayByteTable& stray);

// The bytes from address up to the first zero byte (or maxBytes, whichever
// comes first), decoded; a null address gives "".
std::string Utf8PtrToString(const char* address, std::size_t maxBytes, const StrayByteTable& stray);

// UTF-16 text as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8Encode(std::u16string_view text);

// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace tmr
