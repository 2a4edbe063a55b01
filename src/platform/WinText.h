// The one pair of conversions between the UTF-8 strings used inside the
// program and the UTF-16 strings of the W functions.
#pragma once

#include <string>
#include <string_view>

namespace tmr {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Bytes in the system's ANSI code page, one character per byte, to UTF-8.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace tmr
