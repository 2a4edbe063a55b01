#include "support/WinTestUtil.h"

#include <vector>

#include "platform/MessagePump.h"

namespace tmr::test {

bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs) {
  ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() > end) return condition();
    PumpPendingMessages();
    Sleep(5);
  }
  return true;
}

HANDLE StartProcess(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  // Once, on a Wine prefix made minutes before, starting a freshly copied
  // program failed and never again in hundreds of starts; a start is tried
  // again before it counts as failed.
  for (int attempt = 0;; ++attempt) {
    if (CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) break;
    if (attempt == 2) return nullptr;
    Sleep(250);
  }
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path);
  return text.substr(0, text.find_last_of(L"\\/"));
}

}  // namespace tmr::test
