// The common file dialogs, behind a seam that tests can replace.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tmr {

struct FileFilter {
  std::string description;
  std::string pattern;
};

struct FileDialogRequest {
  HWND owner = nullptr;
  std::string title;
  std::string filterDescription;        // e.g. "HTML file (*.htm)"
  std::string filterPattern;            // e.g. "*.htm"
  std::vector<FileFilter> moreFilters;  // offered after the first
  std::string initialFolder;
  std::string fileName;          // the name the dialog starts with
  std::string defaultExtension;  // added to a typed name without one
  DWORD flags = 0;
  unsigned bufferChars = 255;  // room for the name, its NUL included
};

// The dialog for report files: title "Save Report File", the filter
// "HTML file (*.htm)", the report folder, a 255-character name buffer and
// the long-names flag.
FileDialogRequest ReportFileRequest(HWND owner, const std::string& reportFolder);

// The chosen file, cut at its first NUL; nullopt when the user cancels.
// chosenFilter, where given, receives the filter chosen last (1 for the
// first), or when a hook answered the one SetFileDialogHookFilter set (0 at
// first).
std::optional<std::string> PickFileToOpen(const FileDialogRequest& request);
std::optional<std::string> PickFileToSave(const FileDialogRequest& request, unsigned* chosenFilter = nullptr);

using FileDialogHook = std::function<std::optional<std::string>(const FileDialogRequest&, bool save)>;
void SetFileDialogHook(FileDialogHook hook);
void SetFileDialogHookFilter(unsigned filter);

}  // namespace tmr
