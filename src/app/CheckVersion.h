// The update check: asks the product web site for the current version and,
// when it is newer and the user agrees, starts the updater.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/Http.h"

namespace tmr {

class SettingsFile;

struct UpdateCheckEnv {
  std::string siteAddress;    // "version.txt" is fetched from its root
  std::string programFolder;  // holds "renovo.exe"
  const SettingsFile* settings = nullptr;
  uint32_t timeoutMs = kStandardHttpTimeoutMs;
};

// autoCheck: true for the check at start-up, which shows nothing unless a
// newer version is offered.
void CheckVersion(HWND owner, bool autoCheck, const UpdateCheckEnv& env);

}  // namespace tmr
