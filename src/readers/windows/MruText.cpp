#include "readers/windows/MruText.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/Registry.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

std::wstring BytesAsUtf16(const Bytes& bytes) {
  // An odd last byte is no character and is left out.
  std::wstring text(bytes.size() / 2, L'\0');
  if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
  return text;
}

std::wstring BytesThroughAnsi(const Bytes& bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const char* data = reinterpret_cast<const char*>(bytes.data());
  int size = static_cast<int>(bytes.size());
  int n = MultiByteToWideChar(CP_ACP, 0, data, size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, data, size, text.data(), n);
  return text;
}

std::wstring MapString(const std::wstring& text, DWORD mapping) {
  if (text.empty() || text.size() > INT_MAX / 2) return text;
  int size = static_cast<int>(text.size());
  int n = LCMapStringW(LOCALE_SYSTEM_DEFAULT, mapping, text.data(), size, nullptr, 0);
  if (n <= 0) return text;  // an unmapped text is still the text
  std::wstring mapped(static_cast<size_t>(n), L'\0');
  LCMapStringW(LOCALE_SYSTEM_DEFAULT, mapping, text.data(), size, mapped.data(), n);
  return mapped;
}

void DropNuls(std::wstring& text) { text.erase(std::remove(text.begin(), text.end(), L'\0'), text.end()); }

Bytes ReadEntry(std::string_view path, std::string_view valueName) { return ReadRegistryBytes(path, valueName); }

}  // namespace

TextClass SystemTextClass() { return TextClassForLcid(static_cast<uint32_t>(GetSystemDefaultLCID())); }

std::string LocaleTextClass() { return TextClassName(SystemTextClass()); }

std::string ConvertMruBytes(TextClass textClass, const Bytes& bytes) {
  std::wstring text;
  if (textClass == TextClass::kEn) {
    text = BytesThroughAnsi(bytes);
    DropNuls(text);
  } else {
    // NULs go before the mapping: they are no text, and the mapping would
    // only carry them through.
    text = BytesAsUtf16(bytes);
    DropNuls(text);
    text = MapString(text, textClass == TextClass::kAsia ? LCMAP_HALFWIDTH : LCMAP_KATAKANA);
  }
  return Narrow(text);
}

std::string DecodeLeadingEntry(const Bytes& entry) {
  try {
    return DecodeLeadingText(entry, SystemTextClass(), ConvertMruBytes);
  } catch (...) {
    return "";
  }
}

std::string DecodeTrailingEntry(const Bytes& entry) {
  try {
    return DecodeTrailingName(entry, SystemTextClass(), ConvertMruBytes);
  } catch (...) {
    return "";
  }
}

std::string DecodeLeadingText(std::string_view path, std::string_view valueName) {
  try {
    return DecodeLeadingEntry(ReadEntry(path, valueName));
  } catch (...) {
    return "";
  }
}

std::string DecodeTrailingName(std::string_view path, std::string_view valueName) {
  try {
    return DecodeTrailingEntry(ReadEntry(path, valueName));
  } catch (...) {
    return "";
  }
}

}  // namespace tmr
