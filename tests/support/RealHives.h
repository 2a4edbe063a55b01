// The real registry hives that the build converts to .reg files next to the
// test programs (see CMakeLists.txt), loaded under a scratch registry.
#pragma once

#include <windows.h>

#include <string>

#include "support/ScratchRegistry.h"
#include "support/WinTestUtil.h"

namespace tmr::test {

// ntuser-win7.reg (NTUSER-WIN7.DAT), ntuser-2.reg (NTUSER-2.DAT),
// usbstor.reg (SYSTEM.xz: Enum\USBSTOR of its current control set) and
// usrclass.reg (windows-today/UsrClass.dat: its ShellBags).
inline std::wstring RealHive(const wchar_t* name) { return TestProgramFolder() + L"\\hives\\" + name; }

inline bool HaveRealHive(const wchar_t* name) {
  return GetFileAttributesW(RealHive(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Imports a converted hive; the number of values written (0 when missing).
inline int LoadRealHive(ScratchRegistry& scratch, const wchar_t* name) {
  return HaveRealHive(name) ? scratch.ImportRegFile(RealHive(name)) : 0;
}

}  // namespace tmr::test
