// The read-only registry layer every registry reader goes through. Failures
// come back as results, never as errors: nullopt for a text or a name list
// that cannot be read, an empty list of subkeys, an empty byte array.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tmr {

// Empty, a text (with its terminating NUL when the data has one), or a
// 32-bit number.
using RegValue = std::variant<std::monostate, std::wstring, uint32_t>;

// Reads one value of an open key. Returns the registry status; -1 for a
// type other than REG_SZ and REG_DWORD (value left empty).
long ReadRegistryValue(HKEY key, std::string_view valueName, RegValue& value);

// One text value, without its terminator (a number as its decimal text);
// nullopt when the key cannot be opened or the value is missing, empty of
// data, or of another type.
std::optional<std::string> ReadRegistryText(HKEY root, std::string_view keyPath, std::string_view valueName);

// The value names in enumeration order; nullopt when the key cannot be
// opened. Names of 20 characters or more end the listing: the ones before
// stay, none after is read.
std::optional<std::vector<std::string>> ListRegistryValueNames(HKEY root, std::string_view keyPath);

// The subkey names in enumeration order; none when there are none or the
// key cannot be opened.
std::vector<std::string> ListRegistrySubKeys(HKEY root, std::string_view keyPath);

// The value's bytes followed by one extra zero byte (two zero bytes for a
// missing value); no bytes at all when the key cannot be opened. The path
// starts with a root name, long or short, e.g. "HKCU\Software\X\".
std::vector<uint8_t> ReadRegistryBytes(std::string_view path, std::string_view valueName);

// The predefined key for a short root name ("HKCU", ...), or null.
HKEY RootKeyFromShortName(std::string_view shortName);

}  // namespace tmr
