#include "platform/FileDialogs.h"

#include <commdlg.h>

#include <vector>

#include "platform/WinText.h"

namespace tmr {
namespace {

FileDialogHook& Hook() {
  static FileDialogHook hook;
  return hook;
}

std::optional<std::string> RunDialog(const FileDialogRequest& request, bool save) {
  if (Hook()) return Hook()(request, save);

  std::wstring filter = Widen(request.filterDescription);
  filter.push_back(L'\0');
  filter += Widen(request.filterPattern);
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  std::wstring title = Widen(request.title);
  std::wstring folder = Widen(request.initialFolder);
  std::wstring extension = Widen(request.defaultExtension);
  unsigned chars = request.bufferChars < 2 ? 2 : request.bufferChars;
  std::vector<wchar_t> file(chars, L'\0');

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = request.owner;
  ofn.hInstance = GetModuleHandleW(nullptr);
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = chars - 1;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = request.flags;

  BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return std::nullopt;
  return Narrow(std::wstring(file.data()));
}

}  // namespace

FileDialogRequest ReportFileRequest(HWND owner, const std::string& reportFolder) {
  FileDialogRequest request;
  request.owner = owner;
  request.title = "Save Report File";
  request.filterDescription = "HTML file (*.htm)";
  request.filterPattern = "*.htm";
  request.initialFolder = reportFolder;
  request.defaultExtension = "htm";
  request.flags = 0x200000;  // OFN_LONGNAMES
  request.bufferChars = 255;
  return request;
}

std::optional<std::string> PickFileToOpen(const FileDialogRequest& request) { return RunDialog(request, false); }
std::optional<std::string> PickFileToSave(const FileDialogRequest& request) { return RunDialog(request, true); }
void SetFileDialogHook(FileDialogHook hook) { Hook() = std::move(hook); }

}  // namespace tmr
