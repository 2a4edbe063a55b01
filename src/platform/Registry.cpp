#include "platform/Registry.h"

#include <algorithm>
#include <array>

#include "core/RegistryRoots.h"
#include "platform/Handles.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

// Reads of a value that keeps growing between its size and its data.
constexpr int kReadAttempts = 4;

UniqueHkey OpenKey(HKEY root, std::string_view path, REGSAM access) {
  UniqueHkey key;
  if (!root) return key;
  if (RegOpenKeyExW(root, Widen(path).c_str(), 0, access, key.put()) != ERROR_SUCCESS) key.release();
  return key;
}

}  // namespace

long ReadRegistryValue(HKEY key, std::string_view valueName, RegValue& value) {
  std::wstring name = Widen(valueName);
  DWORD type = 0;
  DWORD size = 0;
  LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS) return status;

  if (type == REG_SZ) {
    // Room for every byte; a trailing half character is dropped below. In
    // size_t: a DWORD size + 1 wraps to 0 at 4 GiB.
    std::wstring buffer((static_cast<size_t>(size) + 1) / sizeof(wchar_t), L'\0');
    DWORD bytes = size;
    status = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (status == ERROR_SUCCESS) {
      buffer.resize(std::min<size_t>(buffer.size(), bytes / sizeof(wchar_t)));
      value = std::move(buffer);
    } else {
      value = std::monostate{};
    }
    return status;
  }
  if (type == REG_DWORD) {
    DWORD number = 0;
    DWORD bytes = sizeof(number);
    status = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &bytes);
    if (status == ERROR_SUCCESS) value = static_cast<uint32_t>(number);
    return status;
  }
  return -1;
}

std::optional<std::string> ReadRegistryText(HKEY root, std::string_view keyPath, std::string_view valueName) {
  UniqueHkey key = OpenKey(root, keyPath, KEY_QUERY_VALUE);
  if (!key) return std::nullopt;
  RegValue value;
  ReadRegistryValue(key.get(), valueName, value);
  if (const auto* text = std::get_if<std::wstring>(&value)) {
    if (text->empty()) return std::nullopt;
    // The text ends at its terminator; data stored without one keeps every
    // character, and anything after a stray NUL is not part of the text.
    return Narrow(std::wstring_view(*text).substr(0, text->find(L'\0')));
  }
  if (const auto* number = std::get_if<uint32_t>(&value)) return std::to_string(*number);
  return std::nullopt;
}

std::optional<std::vector<std::string>> ListRegistryValueNames(HKEY root, std::string_view keyPath) {
  UniqueHkey key = OpenKey(root, keyPath, KEY_QUERY_VALUE);
  if (!key) return std::nullopt;
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    std::array<wchar_t, 20> name{};
    DWORD nameChars = static_cast<DWORD>(name.size());
    DWORD dataSize = 20;
    DWORD type = 0;
    LONG status = RegEnumValueW(key.get(), index, name.data(), &nameChars, nullptr, &type, nullptr, &dataSize);
    // Any failure ends the list, including a name too long for the buffer.
    if (status != ERROR_SUCCESS) break;
    names.push_back(Narrow(std::wstring_view(name.data(), std::min<size_t>(nameChars, name.size()))));
  }
  return names;
}

std::vector<std::string> ListRegistrySubKeys(HKEY root, std::string_view keyPath) {
  std::vector<std::string> names;
  UniqueHkey key = OpenKey(root, keyPath, KEY_ENUMERATE_SUB_KEYS);
  if (!key) return names;
  std::array<wchar_t, 256> buffer{};
  for (DWORD index = 0;; ++index) {
    DWORD chars = static_cast<DWORD>(buffer.size());
    if (RegEnumKeyExW(key.get(), index, buffer.data(), &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.push_back(Narrow(std::wstring_view(buffer.data(), std::min<size_t>(chars, buffer.size()))));
  }
  return names;
}

HKEY RootKeyFromShortName(std::string_view shortName) {
  static const std::array<HKEY, 7> kHandles{HKEY_CURRENT_USER,     HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT,  HKEY_USERS,
                                            HKEY_PERFORMANCE_DATA, HKEY_DYN_DATA,      HKEY_CURRENT_CONFIG};
  int index = RootIndex(shortName);
  return index < 0 ? nullptr : kHandles[static_cast<size_t>(index)];
}

std::vector<uint8_t> ReadRegistryBytes(std::string_view path, std::string_view valueName) {
  SplitKey split = SplitRootKey(path);
  HKEY root = RootKeyFromShortName(split.rootName);
  UniqueHkey key;
  if (!root || RegOpenKeyExW(root, Widen(split.subKey).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
    key.release();
    return {};
  }
  std::wstring name = Widen(valueName);
  // The value can change between asking its size and reading it: a value
  // that grew is asked again, one that shrank is cut to what was read, one
  // that went away reads as missing. Only bytes the read returned are kept.
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<uint8_t> bytes(static_cast<size_t>(size) + 1, 0);
    DWORD read = size;
    LONG status = RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, bytes.data(), &read);
    if (status == ERROR_SUCCESS) {
      bytes.resize(static_cast<size_t>(std::min(read, size)) + 1);
      bytes.back() = 0;
      return bytes;
    }
    if (status != ERROR_MORE_DATA) break;
  }
  return std::vector<uint8_t>(2, 0);  // as a missing value
}

}  // namespace tmr
