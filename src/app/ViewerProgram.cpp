#include "app/ViewerProgram.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "app/CommandLine.h"
#include "app/ExportRun.h"
#include "app/MainWindow.h"
#include "app/OpenFolderDialog.h"
#include "app/SettingsFile.h"
#include "app/StartupSettings.h"
#include "app/ViewerServices.h"
#include "categories/CategoryTable.h"
#include "core/OsVersionMap.h"
#include "core/ProgramState.h"
#include "platform/Dialogs.h"
#include "platform/Handles.h"
#include "platform/LocalTimeText.h"
#include "platform/MessagePump.h"
#include "platform/ParentConsole.h"
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

namespace {

// Collects without a window (ExportRun.h), or prints the usage: everything
// said goes to the console the program was started from.
int RunWithoutWindow(const CommandLine& commandLine) {
  ParentConsole console;
  auto usage = [&](const std::string& error) {
    if (!console.Available()) {
      ShowMessage(nullptr, error + "\n\n" + kCommandLineUsage, MB_OK);
      return;
    }
    if (!error.empty()) console.Error(error);
    console.Error(kCommandLineUsage);
  };
  if (!commandLine.error.empty()) {
    usage(commandLine.error);
    return 2;
  }
  if (commandLine.help) {
    console.Out(kCommandLineUsage);
    return 0;
  }
  OsVersion = GetWindowsVersion();
  AppVersion = 5.2f;
  SetTimesInUtc(commandLine.utc);
  ExportRequest request;
  request.folder = commandLine.exportFolder.value_or("");
  request.reportFile = commandLine.reportFile.value_or("");
  request.format = commandLine.format;
  request.timeline = commandLine.timeline || commandLine.format == ExportFormat::kTimesketchCsv;
  std::vector<std::string> keys;
  for (const std::string& key : commandLine.categories) {
    if (key == "t1" || key == "timeline") {
      request.timeline = true;
    } else {
      keys.push_back(key);
    }
  }
  // Only the timeline asked for: no category files.
  if (keys.empty() && !commandLine.categories.empty()) {
    request.categories.clear();
  } else {
    std::string unknown;
    auto categories = ResolveCategories(Categories(), keys, &unknown);
    if (!categories) {
      usage("No such category: " + unknown);
      return 2;
    }
    request.categories = std::move(*categories);
  }
  std::shared_ptr<const TraceSource> source;
  if (commandLine.sourceFolder) {
    std::string failure;
    source = OpenTraceFolder(*commandLine.sourceFolder, &Settings(), &failure);
    if (!source) {
      usage(failure);
      return 2;
    }
    request.source = source.get();
  } else {
    request.profiles = StoredProfileChoice(&Settings());
  }
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const int code = RunExport(Categories(), request, [&](const std::string& line) { console.Out(line); });
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}

}  // namespace

int Main(HINSTANCE instance, int showCommand, const ProgramAddresses& addresses,
         std::span<const std::string> arguments) {
  (void)instance;
  MakerPageAddress = addresses.makerPage;
  SiteAddress = addresses.site;
  const CommandLine commandLine = ParseCommandLine(arguments);
  if (!commandLine.error.empty() || commandLine.WithoutWindow()) return RunWithoutWindow(commandLine);

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
