#include "app/ViewerProgram.h"

#include <objbase.h>
#include <shlobj.h>

#include <memory>

#include "app/MainWindow.h"
#include "app/StartupSettings.h"
#include "app/ViewerServices.h"
#include "categories/CategoryTable.h"
#include "core/OsVersionMap.h"
#include "core/ProgramState.h"
#include "platform/Handles.h"
#include "platform/MessagePump.h"
#include "platform/Shell.h"

namespace tmr {

std::string GetWindowsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  // The version query as it answers programs that declare no newer system:
  // Windows 8 and later report 6.2, which the readers treat as "Vista".
  if (!GetVersionExW(&info)) return "Failed";
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  return MapWindowsVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

SettingsFile& Settings() {
  static SettingsFile settings(ProgramFolder() + "\\tmere.ini");
  return settings;
}

int Main(HINSTANCE instance, int showCommand, const ProgramAddresses& addresses) {
  (void)instance;
  MakerPageAddress = addresses.makerPage;
  SiteAddress = addresses.site;

  // A second viewer ends at once, silently. The handle is held until exit.
  UniqueHandle instanceMutex(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
  if (!instanceMutex || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  OsVersion = GetWindowsVersion();
  AppVersion = 5.2f;

  SettingsFile& settings = Settings();
  ReportFolderChoice folder =
      ResolveReportFolder(settings.GetSetting("general", "ReportFolder"), GetSpecialFolder(CSIDL_PERSONAL));
  ReportFolder = folder.folder;
  if (folder.writeBack) settings.SaveSetting("general", "ReportFolder", ReportFolder);

  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  int exitCode = 0;
  {
    auto viewer = std::make_unique<MainWindow>(Categories(), MakeViewerServices(&settings));
    SetQuitWhenLastWindowCloses(true);
    if (viewer->Create(showCommand)) {
      viewer->RunStartupCheck(settings);
      exitCode = RunMessageLoop();
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}

}  // namespace tmr
