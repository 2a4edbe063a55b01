// Helpers for Windows tests: waiting while messages run, child processes.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tmr::test {

// Pumps messages until the condition holds or the time is up; returns the
// condition's last value.
bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs = 5000);

// Starts a program; the handle is owned by the caller (null, with the
// error in GetLastError, when three tries a quarter second apart failed).
HANDLE StartProcess(const std::wstring& program, const std::wstring& arguments = L"");

// Folder of the running test program, without a trailing "\".
std::wstring TestProgramFolder();

// A key pressed in a control, with or without Ctrl held (the thread's key
// state says so while the control handles it).
void PressKey(HWND control, WORD key, bool withControl = false);
void SetControlKeyDown(bool down);

// The header and cells an exported list must give when read back, as JSON
// for tests/app/check_export.py; each cell up to its first NUL.
void WriteExportExpectation(const std::filesystem::path& file, const std::vector<std::string>& header,
                            const std::vector<std::vector<std::string>>& rows);

// The text up to its first NUL as a quoted JSON string.
std::string JsonQuoted(std::string_view text);

}  // namespace tmr::test
