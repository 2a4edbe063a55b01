// Opens the main window for a screenshot of what the user sees: with the
// small dialogs beside it (scripts/screenshot --dialogs), or with one
// category clicked ("--node KEY", scripts/screenshot --node KEY), then
// optionally a filter typed ("--filter TEXT") and the list's menu opened
// on its first row ("--menu") or the export's save dialog ("--export"). Windows and sources are the program's own;
// only the placement is arranged here.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "app/AboutDialog.h"
#include "app/MainWindow.h"
#include "app/OptionsDialog.h"
#include "app/ProgressDialog.h"
#include "app/ViewerProgram.h"
#include "app/ViewerServices.h"
#include "categories/CategoryTable.h"
#include "core/ProgramState.h"
#include "platform/MessagePump.h"
#include "platform/Shell.h"

namespace {

void Place(HWND hwnd, int x, int y) { SetWindowPos(hwnd, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace tmr;
  OsVersion = GetWindowsVersion();
  ReportFolder = GetSpecialFolder(0x0005);
  MainWindow viewer(Categories(), MakeViewerServices(&Settings()));
  if (!viewer.Create(SW_SHOWNORMAL)) return 1;
  Place(viewer.hwnd(), 0, 0);

  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring node = (argv && argc >= 3 && std::wstring(argv[1]) == L"--node") ? argv[2] : L"";
  std::wstring filter;
  bool menu = false;
  bool exportList = false;
  for (int i = 3; argv && i < argc; ++i) {
    if (std::wstring(argv[i]) == L"--filter" && i + 1 < argc) filter = argv[++i];
    if (std::wstring(argv[i]) == L"--menu") menu = true;
    if (std::wstring(argv[i]) == L"--export") exportList = true;
  }
  if (argv) LocalFree(argv);
  if (!node.empty()) {
    viewer.ClickNodeByKey(std::string(node.begin(), node.end()));
    if (!filter.empty()) SetWindowTextW(viewer.FilterBox(), filter.c_str());
    if (menu) {
      viewer.List().SelectRow(0);
      RECT row{};
      ListView_GetItemRect(viewer.List().hwnd(), 0, &row, LVIR_LABEL);
      POINT at{row.left + 40, row.bottom};
      ClientToScreen(viewer.List().hwnd(), &at);
      PostMessageW(viewer.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(viewer.List().hwnd()),
                   MAKELPARAM(at.x, at.y));
    }
    if (exportList) PostMessageW(viewer.hwnd(), WM_COMMAND, MainWindow::kMenuExportList, 0);
    SetTimer(nullptr, 0, 60000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
      if (msg.message == WM_TIMER && !msg.hwnd) break;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return 0;
  }

  OptionsDialog options(&Settings());
  AboutDialog about(nullptr);
  ProgressDialog progress(nullptr);
  options.Show(nullptr);
  about.Show(nullptr);
  progress.Show(viewer.hwnd());
  progress.SetMaximum(500);
  progress.SetValue(120);
  progress.SetLabel("Records: 120");
  RECT r{};
  GetWindowRect(options.hwnd(), &r);
  Place(options.hwnd(), 1024 - (r.right - r.left) - 4, 4);
  GetWindowRect(about.hwnd(), &r);
  Place(about.hwnd(), 1024 - (r.right - r.left) - 4, 768 - (r.bottom - r.top) - 4);
  GetWindowRect(progress.hwnd(), &r);
  Place(progress.hwnd(), 20, 768 - (r.bottom - r.top) - 20);

  SetTimer(nullptr, 0, 60000, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0)) {
    if (msg.message == WM_TIMER && !msg.hwnd) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
