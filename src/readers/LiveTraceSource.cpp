// This PC: the live registry through the registry layer, the user's folders
// as the shell keeps them in "Shell Folders".
#include <windows.h>
#include <sddl.h>

#include <array>

#include "core/ProgramState.h"
#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/Registry.h"
#include "platform/WinText.h"
#include "readers/TraceSource.h"

namespace tmr {
namespace {

constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

HKEY RootKey(TraceRoot root) { return root == TraceRoot::kMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

std::string KeyPath(TraceRoot root, std::string_view key) {
  if (root != TraceRoot::kUserClasses) return std::string(key);
  return key.empty() ? std::string("Software\\Classes") : "Software\\Classes\\" + std::string(key);
}

const char* RootName(TraceRoot root) {
  return root == TraceRoot::kMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
}

UniqueHkey OpenKey(TraceRoot root, std::string_view key, REGSAM access) {
  UniqueHkey opened;
  if (RegOpenKeyExW(RootKey(root), Widen(KeyPath(root, key)).c_str(), 0, access, opened.put()) != ERROR_SUCCESS) {
    opened.release();
  }
  return opened;
}

class LiveSource final : public TraceSource {
 public:
  std::string Name() const override { return "This PC"; }
  bool Live() const override { return true; }

  std::optional<std::string> Text(TraceRoot root, std::string_view key, std::string_view name) const override {
    return ReadRegistryText(RootKey(root), KeyPath(root, key), name);
  }
  std::optional<std::vector<std::string>> ValueNames(TraceRoot root, std::string_view key) const override {
    return ListRegistryValueNames(RootKey(root), KeyPath(root, key));
  }
  std::vector<std::string> SubKeys(TraceRoot root, std::string_view key) const override {
    return ListRegistrySubKeys(RootKey(root), KeyPath(root, key));
  }
  std::vector<uint8_t> Bytes(TraceRoot root, std::string_view key, std::string_view name) const override {
    return ReadRegistryBytes(RootName(root) + KeyPath(root, key) + "\\", name);
  }

  std::optional<std::vector<TraceValue>> Values(TraceRoot root, std::string_view key) const override {
    UniqueHkey opened = OpenKey(root, key, KEY_QUERY_VALUE);
    if (!opened) return std::nullopt;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                         &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    std::vector<TraceValue> values;
    std::wstring name(static_cast<size_t>(longestName) + 1, L'\0');
    std::vector<uint8_t> data(static_cast<size_t>(longestData) + 1);
    for (DWORD index = 0;; ++index) {
      DWORD nameChars = static_cast<DWORD>(name.size());
      DWORD dataBytes = static_cast<DWORD>(data.size());
      DWORD type = 0;
      const LONG status =
          RegEnumValueW(opened.get(), index, name.data(), &nameChars, nullptr, &type, data.data(), &dataBytes);
      // A value that grew since the sizes were asked ends the listing.
      if (status != ERROR_SUCCESS) break;
      values.push_back({Narrow(std::wstring_view(name.data(), std::min<size_t>(nameChars, name.size()))), type,
                        std::vector<uint8_t>(data.begin(), data.begin() + std::min<size_t>(dataBytes, data.size()))});
    }
    return values;
  }

  std::optional<uint64_t> KeyLastWritten(TraceRoot root, std::string_view key) const override {
    UniqueHkey opened = OpenKey(root, key, KEY_QUERY_VALUE);
    FILETIME written{};
    if (!opened || RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    return (uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
  }

  std::string Folder(TraceFolder folder) const override {
    const char* name = nullptr;
    switch (folder) {
      case TraceFolder::kProfile: {
        wchar_t buffer[MAX_PATH + 1] = {};
        const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", buffer, MAX_PATH);
        return length > 0 && length < MAX_PATH ? Narrow(std::wstring(buffer, length)) : std::string();
      }
      case TraceFolder::kAppData: name = "AppData"; break;
      case TraceFolder::kLocalAppData: name = "Local AppData"; break;
      case TraceFolder::kRecent: name = "Recent"; break;
      case TraceFolder::kCookies: name = "Cookies"; break;
      case TraceFolder::kHistory: name = "History"; break;
      case TraceFolder::kCache: name = "Cache"; break;
    }
    return ReadRegistryText(HKEY_CURRENT_USER, kShellFolders, name).value_or("");
  }

  std::vector<std::string> FixedDriveRoots() const override {
    std::vector<std::string> roots;
    const DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
      if (!(drives & (1u << letter))) continue;
      const std::string root = std::string(1, static_cast<char>('A' + letter)) + ":\\";
      if (GetDriveTypeW(Widen(root).c_str()) == DRIVE_FIXED) roots.push_back(root);
    }
    return roots;
  }

  std::string UserSid() const override {
    UniqueHandle token;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    token.reset(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0 || size > 4096) return {};
    std::vector<uint8_t> buffer(size);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
    const std::string sid = Narrow(text);
    LocalFree(text);
    return sid;
  }

  std::string ComputerName() const override {
    wchar_t buffer[256] = {};
    DWORD size = 255;
    if (!GetComputerNameW(buffer, &size)) return "";
    return CutAtNul(Narrow(std::wstring(buffer, size)));
  }

  std::string UserName() const override {
    wchar_t buffer[256] = {};
    DWORD size = 255;
    if (!GetUserNameW(buffer, &size) || size < 1) return "";
    // The length counts the terminator, which is not part of the name.
    return CutAtNul(Narrow(std::wstring(buffer, size - 1)));
  }

  std::string WindowsFamily() const override { return OsVersion; }
};

}  // namespace

const TraceSource& LiveTraceSource() {
  static const LiveSource source;
  return source;
}

}  // namespace tmr
