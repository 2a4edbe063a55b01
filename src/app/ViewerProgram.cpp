#include "app/ViewerProgram.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/OpenFolderDialog.h"
#include "app/StartupSettings.h"
#include "app/ViewerServices.h"
#include "categories/CategoryTable.h"
#include "core/OsVersionMap.h"
#include "core/ProgramState.h"
#include "platform/Dialogs.h"
#include "platform/Handles.h"
#include "platform/MessagePump.h"
#include "platform/Shell.h"
#include "platform/WinText.h"

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

std::vector<std::string> ProgramArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* split = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!split) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Narrow(split[i]));
  LocalFree(split);
  return arguments;
}

int Main(HINSTANCE instance, int showCommand, const ProgramAddresses& addresses,
         std::span<const std::string> arguments) {
  (void)instance;
  MakerPageAddress = addresses.makerPage;
  SiteAddress = addresses.site;
  const CommandLine commandLine = ParseCommandLine(arguments);
  if (!commandLine.error.empty()) {
    ShowMessage(nullptr, commandLine.error + "\n\n" + kCommandLineUsage, MB_OK);
    return 2;
  }

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
    if (commandLine.sourceFolder) {
      // A folder that holds no traces is said so; the window opens on
      // this PC rather than on nothing.
      std::string failure;
      if (auto source = OpenTraceFolder(*commandLine.sourceFolder, &settings, &failure)) {
        viewer->SetSource(std::move(source));
      } else {
        ShowMessage(nullptr, failure, MB_OK);
      }
    }
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
