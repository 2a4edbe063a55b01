// Message boxes, the folder picker and program starts, behind seams that
// tests replace (no test clicks a real message box).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tmr {

// The program's message box: titled with the program's name, no icon.
// Returns the button pressed (IDOK, IDYES, IDNO).
int ShowMessage(HWND owner, const std::string& text, UINT buttons);

using MessageHook = std::function<int(HWND owner, const std::string& text, const std::string& title, UINT buttons)>;
void SetMessageHook(MessageHook hook);

// The system's folder picker (no owner, title "Select a Folder..."): the
// chosen folder's path, or "" when cancelled or not a file-system folder.
std::string BrowseForFolder();

using BrowseHook = std::function<std::string()>;
void SetBrowseHook(BrowseHook hook);

// Starts a program without waiting for it; false when it cannot be started.
bool StartProgram(const std::string& path, int showCommand);

}  // namespace tmr
