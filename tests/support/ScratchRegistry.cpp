#include "support/ScratchRegistry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/WinText.h"

namespace tmr::test {
namespace {

HKEY CreateOrThrow(HKEY parent, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create registry key " + Narrow(path));
  }
  return key;
}

void DumpKey(HKEY key, const std::wstring& path, std::vector<std::string>& lines) {
  std::string header = "[";
  header += Narrow(path);
  header += ']';
  lines.push_back(header);
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD nameLen = 16384;
    DWORD type = 0;
    DWORD size = 0;
    if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size + 2);
    DWORD dataSize = size;
    nameLen = 16384;
    RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data.data(), &dataSize);
    std::ostringstream line;
    line << Narrow(std::wstring(name, nameLen)) << " type=" << type << " data=";
    for (DWORD b = 0; b < dataSize; ++b) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02x", data[b]);
      line << hex;
    }
    lines.push_back(line.str());
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLen = 256;
    if (RegEnumKeyExW(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY child = nullptr;
    if (RegOpenKeyExW(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
      DumpKey(child, path + L"\\" + name, lines);
      RegCloseKey(child);
    }
  }
}

// Reads a .reg file as UTF-16 (with its byte-order mark) or as ANSI.
std::wstring ReadRegText(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
    return text;
  }
  return Widen(AnsiToUtf8(bytes));
}

std::vector<BYTE> ParseHexBytes(const std::wstring& text) {
  std::vector<BYTE> bytes;
  std::wstring token;
  auto flush = [&] {
    if (!token.empty()) bytes.push_back(static_cast<BYTE>(std::wcstoul(token.c_str(), nullptr, 16)));
    token.clear();
  };
  for (wchar_t c : text) {
    if (iswxdigit(c)) {
      token.push_back(c);
    } else {
      flush();
    }
  }
  flush();
  return bytes;
}

std::wstring UnescapeRegString(const std::wstring& quoted) {
  std::wstring out;
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    if (quoted[i] == L'\\' && i + 2 < quoted.size()) {
      out.push_back(quoted[++i]);
    } else {
      out.push_back(quoted[i]);
    }
  }
  return out;
}

// The value name and the rest of a "name"=data line ("@" is the default).
bool SplitValueLine(const std::wstring& line, std::wstring& name, std::wstring& data) {
  size_t pos = 0;
  if (line[0] == L'@') {
    name.clear();
    pos = 1;
  } else {
    name.clear();
    size_t i = 1;
    for (; i < line.size(); ++i) {
      if (line[i] == L'\\' && i + 1 < line.size()) {
        name.push_back(line[++i]);
      } else if (line[i] == L'"') {
        break;
      } else {
        name.push_back(line[i]);
      }
    }
    pos = i + 1;
  }
  if (pos >= line.size() || line[pos] != L'=') return false;
  data = line.substr(pos + 1);
  return true;
}

}  // namespace

ScratchRegistry::ScratchRegistry() {
  wchar_t suffix[64];
  std::swprintf(suffix, 64, L"%lu-%llu", GetCurrentProcessId(), static_cast<unsigned long long>(GetTickCount64()));
  basePath_ = std::wstring(L"Software\\TracemereTestScratch\\") + suffix;
  scratchUser_ = CreateOrThrow(HKEY_CURRENT_USER, basePath_ + L"\\HKCU");
  scratchMachine_ = CreateOrThrow(HKEY_CURRENT_USER, basePath_ + L"\\HKLM");
  RegOverridePredefKey(HKEY_CURRENT_USER, scratchUser_);
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratchMachine_);
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegCloseKey(scratchMachine_);
  RegCloseKey(scratchUser_);
  RegDeleteTreeW(HKEY_CURRENT_USER, basePath_.c_str());
}

void ScratchRegistry::CreateKey(HKEY root, std::string_view path) { RegCloseKey(CreateOrThrow(root, Widen(path))); }

void ScratchRegistry::SetRaw(HKEY root, std::string_view path, std::string_view name, DWORD type,
                             std::string_view bytes) {
  HKEY key = CreateOrThrow(root, Widen(path));
  RegSetValueExW(key, Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

void ScratchRegistry::SetString(HKEY root, std::string_view path, std::string_view name, std::string_view value) {
  std::wstring wide = Widen(value);
  std::string bytes(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * sizeof(wchar_t));
  SetRaw(root, path, name, REG_SZ, bytes);
}

void ScratchRegistry::SetBinary(HKEY root, std::string_view path, std::string_view name, std::string_view bytes) {
  SetRaw(root, path, name, REG_BINARY, bytes);
}

void ScratchRegistry::SetDword(HKEY root, std::string_view path, std::string_view name, uint32_t value) {
  SetRaw(root, path, name, REG_DWORD, std::string_view(reinterpret_cast<const char*>(&value), sizeof value));
}

int ScratchRegistry::ImportRegFile(const std::wstring& path) {
  std::wstring text = ReadRegText(path);
  // Join continuation lines (ending in "\").
  std::vector<std::wstring> lines;
  std::wstring current;
  std::wistringstream stream(text);
  std::wstring raw;
  while (std::getline(stream, raw)) {
    if (!raw.empty() && raw.back() == L'\r') raw.pop_back();
    size_t start = raw.find_first_not_of(L" \t");
    std::wstring piece = start == std::wstring::npos ? std::wstring() : raw.substr(start);
    // Only hex data is continued onto the next line, with a final "\".
    if (!piece.empty() && piece.back() == L'\\' && piece[0] != L'[') {
      current += piece.substr(0, piece.size() - 1);
      continue;
    }
    current += piece;
    lines.push_back(current);
    current.clear();
  }
  if (!current.empty()) lines.push_back(current);

  int written = 0;
  HKEY key = nullptr;
  for (const std::wstring& line : lines) {
    if (line.empty() || line[0] == L';') continue;
    if (line[0] == L'[') {
      if (key) RegCloseKey(key);
      key = nullptr;
      std::wstring full = line.substr(1, line.rfind(L']') - 1);
      HKEY root = nullptr;
      std::wstring rest;
      for (auto [prefix, handle] :
           {std::pair{L"HKEY_CURRENT_USER", HKEY_CURRENT_USER}, std::pair{L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}}) {
        std::wstring p(prefix);
        if (full.compare(0, p.size(), p) == 0) {
          root = handle;
          rest = full.size() > p.size() ? full.substr(p.size() + 1) : std::wstring();
        }
      }
      if (root && !rest.empty()) {
        key = CreateOrThrow(root, rest);
      } else if (root) {
        key = CreateOrThrow(root, L"");
      }
      continue;
    }
    if (!key || (line[0] != L'"' && line[0] != L'@')) continue;
    std::wstring name, data;
    if (!SplitValueLine(line, name, data)) continue;
    DWORD type = REG_SZ;
    std::vector<BYTE> bytes;
    if (!data.empty() && data[0] == L'"') {
      std::wstring value = UnescapeRegString(data);
      bytes.resize((value.size() + 1) * sizeof(wchar_t));
      std::memcpy(bytes.data(), value.c_str(), bytes.size());
    } else if (data.compare(0, 6, L"dword:") == 0) {
      type = REG_DWORD;
      DWORD v = static_cast<DWORD>(std::wcstoul(data.c_str() + 6, nullptr, 16));
      bytes.resize(4);
      std::memcpy(bytes.data(), &v, 4);
    } else if (data.compare(0, 4, L"hex:") == 0) {
      type = REG_BINARY;
      bytes = ParseHexBytes(data.substr(4));
    } else if (data.compare(0, 4, L"hex(") == 0) {
      size_t close = data.find(L"):");
      if (close == std::wstring::npos) continue;
      type = static_cast<DWORD>(std::wcstoul(data.c_str() + 4, nullptr, 16));
      bytes = ParseHexBytes(data.substr(close + 2));
    } else {
      continue;
    }
    if (RegSetValueExW(key, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS) {
      ++written;
    }
  }
  if (key) RegCloseKey(key);
  return written;
}

std::string ScratchRegistry::Dump() const {
  std::vector<std::string> lines;
  DumpKey(scratchUser_, L"HKCU", lines);
  DumpKey(scratchMachine_, L"HKLM", lines);
  std::string text;
  for (const auto& l : lines) text += l + "\n";
  return text;
}

}  // namespace tmr::test
