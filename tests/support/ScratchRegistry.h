// Gives a test its own HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE: both
// predefined keys of this process are pointed at throwaway keys, which are
// deleted again when the object goes. Readers open the exact paths they
// expect and never touch the prefix's real keys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace tmr::test {

class ScratchRegistry {
 public:
  ScratchRegistry();
  ~ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  // Writers for setting up a test; root is HKEY_CURRENT_USER or
  // HKEY_LOCAL_MACHINE (already redirected).
  void CreateKey(HKEY root, std::string_view path);
  void SetString(HKEY root, std::string_view path, std::string_view name, std::string_view value);
  void SetBinary(HKEY root, std::string_view path, std::string_view name, std::string_view bytes);
  void SetDword(HKEY root, std::string_view path, std::string_view name, uint32_t value);
  // Any type with raw data, e.g. REG_EXPAND_SZ or a REG_SZ without its NUL.
  void SetRaw(HKEY root, std::string_view path, std::string_view name, DWORD type, std::string_view bytes);

  // Imports a .reg file (REGEDIT4 or "Windows Registry Editor Version 5.00",
  // UTF-16 or ANSI) whose keys start with HKEY_CURRENT_USER or
  // HKEY_LOCAL_MACHINE; they land in the scratch keys. Returns the number of
  // values written.
  static int ImportRegFile(const std::wstring& path);

  // Everything under both scratch roots as text (keys, names, types, data),
  // sorted; used to show that a reader changed nothing.
  std::string Dump() const;

 private:
  HKEY scratchUser_ = nullptr;
  HKEY scratchMachine_ = nullptr;
  std::wstring basePath_;
};

}  // namespace tmr::test
