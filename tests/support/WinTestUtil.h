// Helpers for Windows tests: waiting while messages run, child processes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tmr::test {

// Pumps messages until the condition holds or the time is up; returns the
// condition's last value.
bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs = 5000);

// Starts a program; the handle is owned by the caller (null, with the
// error in GetLastError, when three tries a quarter second apart failed).
HANDLE StartProcess(const std::wstring& program, const std::wstring& arguments = L"");

// Folder of the running test program, without a trailing "\".
std::wstring TestProgramFolder();

}  // namespace tmr::test
