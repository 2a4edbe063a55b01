// Start of the viewer: program-wide values, the settings file, the main
// window.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "app/SettingsFile.h"

namespace tmr {

// Addresses fixed when the program is built.
struct ProgramAddresses {
  std::string site;
  std::string makerPage;
};

// Runs the viewer on the arguments after the program's name (see
// CommandLine.h); returns the process exit code.
int Main(HINSTANCE instance, int showCommand, const ProgramAddresses& addresses,
         std::span<const std::string> arguments = {});

// The arguments after the program's name on this process's command line.
std::vector<std::string> ProgramArguments();

// The Windows family text for this system ("Vista", "xp", ...).
std::string GetWindowsVersion();

// The settings object, bound to "tmere.ini" in the program folder on first
// use.
SettingsFile& Settings();

// Name of the object whose existence tells that a viewer already runs.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\TracemereViewerInstance";

}  // namespace tmr
