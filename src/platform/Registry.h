// The read-only registry layer every registry reader goes through. Failures
// come back as results, never as errors: "error440" for a text or list that
// cannot be read, "" for subkeys, a status, or an empty byte array.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tmr {

inline constexpr std::string_view kRegError = "error440";

// Empty, a text (with its terminating NUL when the data has one), or a
// 32-bit number.
using RegValue = std::variant<std::monostate, std::wstring, uint32_t>;

// Reads one value of an open key. Returns the registry status; -1 for a
// type other than REG_SZ and REG_DWORD (value left empty).
long GetRegValue(HKEY key, std::string_view valueName, RegValue& value);

// One text value, without its terminator; "error440" when the key cannot be
// opened or the value is missing, empty of data, or of another type.
std::string GetRegText(HKEY root, std::string_view keyPath, std::string_view valueName);

// Every value name followed by ","; "" without values; "error440" when the
// key cannot be opened. Names of 20 characters or more end the listing.
std::string ListRegValueNames(HKEY root, std::string_view keyPath);

// Every subkey name in reverse enumeration order, separated by ","; "" when
// there are none or the key cannot be opened.
std::string ListRegSubKeys(HKEY root, std::string_view keyPath);

class RegistryReader {
 public:
  // The value's bytes followed by one extra zero byte (two zero bytes for a
  // missing value); no bytes at all when the key cannot be opened. The path
  // starts with a root name, long or short, e.g. "HKCU\Software\X\".
  std::vector<uint8_t> ReadValueBytes(std::string_view path, std::string_view valueName);

  // The status of the last registry call.
  long LastStatus() const { return lastStatus_; }

 private:
  long lastStatus_ = 0;
};

// The predefined key for a short root name ("HKCU", ...), or null.
HKEY RootKeyFromShortName(std::string_view shortName);

}  // namespace tmr
