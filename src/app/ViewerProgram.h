// Start of the viewer: program-wide values, the settings file, the main
// window.
#pragma once

#include <windows.h>

#include <string>

#include "app/SettingsFile.h"

namespace tmr {

// Addresses fixed when the program is built.
struct ProgramAddresses {
  std::string site;
  std::string makerPage;
};

// Runs the viewer; returns the process exit code.
int Main(HINSTANCE instance, int showCommand, const ProgramAddresses& addresses);

// The Windows family text for this system ("Vista", "xp", ...).
std::string GetWindowsVersion();

// The settings object, bound to "tmere.ini" in the program folder on first
// use.
SettingsFile& Settings();

// Name of the object whose existence tells that a viewer already runs.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\TracemereViewerInstance";

}  // namespace tmr
