#include "platform/FileDialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/WinText.h"

namespace tmr {
namespace {

FileDialogHook& Hook() {
  static FileDialogHook hook;
  return hook;
}

unsigned& HookFilter() {
  static unsigned filter = 0;
  return filter;
}

std::optional<std::string> RunDialog(const FileDialogRequest& request, bool save, unsigned* chosenFilter) {
  if (chosenFilter) *chosenFilter = 0;
  if (Hook()) {
    if (chosenFilter) *chosenFilter = HookFilter();
    return Hook()(request, save);
  }

  // Pairs of description and pattern, each ended by a NUL, then one more.
  std::wstring filter;
  auto addFilter = [&](const std::string& description, const std::string& pattern) {
    filter += Widen(description);
    filter.push_back(L'\0');
    filter += Widen(pattern);
    filter.push_back(L'\0');
  };
  addFilter(request.filterDescription, request.filterPattern);
  for (const FileFilter& more : request.moreFilters) addFilter(more.description, more.pattern);
  filter.push_back(L'\0');
  std::wstring title = Widen(request.title);
  std::wstring folder = Widen(request.initialFolder);
  std::wstring extension = Widen(request.defaultExtension);
  unsigned chars = request.bufferChars < 2 ? 2 : request.bufferChars;
  std::vector<wchar_t> file(chars, L'\0');
  const std::wstring name = Widen(request.fileName);
  std::copy_n(name.begin(), std::min<size_t>(name.size(), chars - 1), file.begin());

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
  if (chosenFilter) *chosenFilter = ofn.nFilterIndex;
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

std::optional<std::string> PickFileToOpen(const FileDialogRequest& request) {
  return RunDialog(request, false, nullptr);
}

std::optional<std::string> PickFileToSave(const FileDialogRequest& request, unsigned* chosenFilter) {
  return RunDialog(request, true, chosenFilter);
}
void SetFileDialogHook(FileDialogHook hook) { Hook() = std::move(hook); }

void SetFileDialogHookFilter(unsigned filter) { HookFilter() = filter; }

}  // namespace tmr
