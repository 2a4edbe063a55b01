// The shell's "open" verb, special folders and the program's own folder.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tmr {

// Hands a URL, file or folder to the shell's "open" verb; the result is
// ignored, as the viewer never reports it.
void ShellOpen(HWND owner, const std::string& target, int showCommand);

// Tests replace the shell with a recorder; an empty hook restores it.
using ShellOpenHook = std::function<void(HWND owner, const std::string& target, int showCommand)>;
void SetShellOpenHook(ShellOpenHook hook);

// Folder of the running program file, without a trailing "\".
std::string ProgramFolder();

// Path of a shell special folder (CSIDL) with a trailing "\"; "\" alone when
// the shell cannot give one.
std::string GetSpecialFolder(int csidl);

}  // namespace tmr
