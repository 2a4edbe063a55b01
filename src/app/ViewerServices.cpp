#include "app/ViewerServices.h"

#include <memory>

#include "app/CheckVersion.h"
#include "app/DialogFrame.h"
#include "app/FrmOptions.h"
#include "app/clsIniFile.h"
#include "app/frmAbout.h"
#include "app/frmProgress.h"
#include "browsers/BrowserSources.h"
#include "common/ProgramState.h"
#include "iehistory/IeSources.h"
#include "platform/Shell.h"
#include "report/FrmCreateReport.h"
#include "report/ReportSources.h"
#include "windows/RegistryAccess.h"
#include "windows/WindowsSources.h"

namespace tmr {
namespace {

constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Each dialog exists while it is open; asking for an open one again brings
// it forward.
struct DialogHost {
  const clsIniFile* settings = nullptr;
  std::unique_ptr<FrmOptions> options;
  std::unique_ptr<frmAbout> about;
  std::unique_ptr<frmProgress> progress;
  std::unique_ptr<FrmCreateReport> report;

  template <typename Dialog, typename Make>
  void ShowOne(std::unique_ptr<Dialog>& slot, HWND owner, Make make) {
    if (slot && slot->hwnd()) {
      BringForward(slot->hwnd());
      return;
    }
    slot = make();
    if (!slot->Show(owner)) slot.reset();
  }
};

void CheckVersionFor(HWND owner, bool autoCheck, const clsIniFile* settings) {
  UpdateCheckEnv env;
  env.siteAddress = SiteAddress;
  env.programFolder = ProgramFolder();
  env.settings = settings;
  CheckVersion(owner, autoCheck, env);
}

}  // namespace

void RegisterAllSources(SourceTable& table) {
  RegisterIeSources(table);
  RegisterWindowsSources(table);
  RegisterBrowserSources(table);
}

ViewerServices MakeViewerServices(const clsIniFile* settings) {
  auto host = std::make_shared<DialogHost>();
  host->settings = settings;
  ViewerServices services;
  services.checkVersion = [settings](HWND owner, bool autoCheck) { CheckVersionFor(owner, autoCheck, settings); };
  services.showOptions = [host](HWND owner) {
    host->ShowOne(host->options, owner, [&] { return std::make_unique<FrmOptions>(host->settings); });
  };
  services.showAbout = [host, settings](HWND owner) {
    host->ShowOne(host->about, owner, [&] {
      return std::make_unique<frmAbout>([settings](HWND dialog) { CheckVersionFor(dialog, false, settings); });
    });
  };
  services.showCreateReport = [host](HWND owner) {
    host->ShowOne(host->report, owner, [] { return std::make_unique<FrmCreateReport>(MakeReportSources); });
  };
  services.showProgress = [host](HWND owner, double maximum) {
    if (host->progress && host->progress->hwnd()) host->progress->Close();
    host->progress = std::make_unique<frmProgress>();
    if (host->progress->Show(owner)) host->progress->SetMaximum(maximum);
  };
  services.setProgress = [host](double value, const std::string& label) {
    if (!host->progress) return;
    host->progress->SetValue(value);
    host->progress->SetLabel(label);
  };
  services.closeProgress = [host] {
    if (host->progress) host->progress->Close();
  };
  services.cookieFolder = [] {
    std::string folder = GetRegText(HKEY_CURRENT_USER, kShellFolders, "Cookies");
    return folder == kRegError ? std::string() : folder;
  };
  return services;
}

}  // namespace tmr
