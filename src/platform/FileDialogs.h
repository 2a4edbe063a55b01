// The common file dialogs, behind a seam that tests can replace.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace tmr {

struct FileDialogRequest {
  HWND owner = nullptr;
  std::string title;
  std::string filterDescription;  // e.g. "HTML file (*.htm)"
  std::string filterPattern;      // e.g. "*.htm"
  std::string initialFolder;
  std::string defaultExtension;  // added to a typed name without one
  DWORD flags = 0;
  unsigned bufferChars = 255;  // room for the name, its NUL included
};

// The dialog for report files: title "Save Report File", the filter
// "HTML file (*.htm)", the report folder, a 255-character name buffer and
// the long-names flag.
FileDialogRequest ReportFileRequest(HWND owner, const std::string& reportFolder);

// The chosen file, cut at its first NUL; nullopt when the user cancels.
std::optional<std::string> PickFileToOpen(const FileDialogRequest& request);
std::optional<std::string> PickFileToSave(const FileDialogRequest& request);

using FileDialogHook = std::function<std::optional<std::string>(const FileDialogRequest&, bool save)>;
void SetFileDialogHook(FileDialogHook hook);

}  // namespace tmr
