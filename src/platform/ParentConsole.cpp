#include "platform/ParentConsole.h"

#include "platform/WinText.h"

namespace tmr {
namespace {

bool Usable(HANDLE handle) {
  return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != FALSE;
}

}  // namespace

ParentConsole::ParentConsole() {
  out_ = GetStdHandle(STD_OUTPUT_HANDLE);
  error_ = GetStdHandle(STD_ERROR_HANDLE);
  if (Usable(out_) && Usable(error_)) return;
  // A window program's standard handles are the console's only once it
  // has attached to one and opened it.
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE) return;
  if (!Usable(out_)) out_ = console;
  if (!Usable(error_)) error_ = console;
}

bool ParentConsole::Available() const { return Usable(out_) || Usable(error_); }

void ParentConsole::Write(HANDLE handle, const std::string& line) {
  if (!Usable(handle)) return;
  if (IsConsole(handle)) {
    const std::wstring text = Widen(line) + L"\r\n";
    DWORD written = 0;
    WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace tmr
