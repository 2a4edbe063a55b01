// Stand-in for a program the viewer starts (the updater): records that it
// ran and how it was asked to show its window, in "started.txt" next to
// itself, then ends.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder = folder.substr(0, folder.find_last_of(L'\\'));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  FILE* out = _wfopen((folder + L"\\started.txt").c_str(), L"ab");
  if (out) {
    std::fprintf(out, "show=%d\n", show);
    std::fclose(out);
  }
  return 0;
}
