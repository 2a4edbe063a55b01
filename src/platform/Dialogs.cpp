#include "platform/Dialogs.h"

#include <shlobj.h>

#include <vector>

#include "platform/WinText.h"

namespace tmr {
namespace {

MessageHook& MessageHookSlot() {
  static MessageHook hook;
  return hook;
}

BrowseHook& BrowseHookSlot() {
  static BrowseHook hook;
  return hook;
}

constexpr char kTitle[] = "Tracemere";

}  // namespace

int ShowMessage(HWND owner, const std::string& text, UINT buttons) {
  if (MessageHookSlot()) return MessageHookSlot()(owner, text, kTitle, buttons);
  return MessageBoxW(owner, Widen(text).c_str(), Widen(kTitle).c_str(), buttons);
}

void SetMessageHook(MessageHook hook) { MessageHookSlot() = std::move(hook); }

std::string BrowseForFolder() {
  if (BrowseHookSlot()) return BrowseHookSlot()();
  std::wstring title = L"Select a Folder...";
  BROWSEINFOW info{};
  info.hwndOwner = nullptr;
  info.lpszTitle = title.c_str();
  info.ulFlags = 0;
  PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&info);
  if (!pidl) return {};
  wchar_t path[MAX_PATH] = {};
  std::string result;
  if (SHGetPathFromIDListW(pidl, path)) result = Narrow(path);
  CoTaskMemFree(pidl);
  return result;
}

void SetBrowseHook(BrowseHook hook) { BrowseHookSlot() = std::move(hook); }

bool StartProgram(const std::string& path, int showCommand) {
  std::wstring program = Widen(path);
  std::wstring commandLine = L"\"" + program + L"\"";
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace tmr
