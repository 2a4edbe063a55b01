#include "platform/Shell.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "platform/WinText.h"

namespace tmr {
namespace {

ShellOpenHook& Hook() {
  static ShellOpenHook hook;
  return hook;
}

}  // namespace

void ShellOpen(HWND owner, const std::string& target, int showCommand) {
  if (Hook()) {
    Hook()(owner, target, showCommand);
    return;
  }
  ShellExecuteW(owner, L"open", Widen(target).c_str(), nullptr, nullptr, showCommand);
}

void SetShellOpenHook(ShellOpenHook hook) { Hook() = std::move(hook); }

std::string ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (true) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      std::wstring path(buffer.data(), n);
      size_t slash = path.find_last_of(L"\\/");
      return Narrow(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash));
    }
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string GetSpecialFolder(int csidl) {
  std::string path;
  PIDLIST_ABSOLUTE pidl = nullptr;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) && pidl) {
    wchar_t buffer[MAX_PATH] = {};
    if (SHGetPathFromIDListW(pidl, buffer)) path = Narrow(buffer);
    CoTaskMemFree(pidl);
  }
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

}  // namespace tmr
