// Waits a minute and ends: a running process with a chosen file name for
// the tests that end processes by name. "--hold FILE" keeps the file open
// meanwhile with no sharing at all, as a browser holds its cookie store.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  HANDLE held = INVALID_HANDLE_VALUE;
  if (argc >= 3 && lstrcmpW(argv[1], L"--hold") == 0) {
    held =
        CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 2;
  }
  Sleep(60000);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  return 0;
}
