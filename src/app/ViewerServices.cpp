#include "app/ViewerServices.h"

#include <memory>

#include "app/AboutDialog.h"
#include "app/CheckVersion.h"
#include "app/CreateReportDialog.h"
#include "app/IndexFileDialog.h"
#include "app/OpenFolderDialog.h"
#include "app/OptionsDialog.h"
#include "app/ProgressDialog.h"
#include "app/SettingsFile.h"
#include "categories/CategoryTable.h"
#include "core/ProgramState.h"
#include "platform/DialogLayout.h"
#include "platform/Shell.h"
#include "readers/ie/IeReaders.h"
#include "report/ReportSections.h"

namespace tmr {
namespace {

// Each dialog exists while it is open; asking for an open one again brings
// it forward.
struct DialogHost {
  const SettingsFile* settings = nullptr;
  std::unique_ptr<OptionsDialog> options;
  std::unique_ptr<AboutDialog> about;
  std::unique_ptr<ProgressDialog> progress;
  std::unique_ptr<CreateReportDialog> report;

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

void CheckVersionFor(HWND owner, bool autoCheck, const SettingsFile* settings) {
  UpdateCheckEnv env;
  env.siteAddress = SiteAddress;
  env.programFolder = ProgramFolder();
  env.settings = settings;
  CheckVersion(owner, autoCheck, env);
}

}  // namespace

ViewerServices MakeViewerServices(const SettingsFile* settings) {
  auto host = std::make_shared<DialogHost>();
  host->settings = settings;
  ViewerServices services;
  services.settings = settings;
  services.checkVersion = [settings](HWND owner, bool autoCheck) { CheckVersionFor(owner, autoCheck, settings); };
  services.showOptions = [host](HWND owner) {
    host->ShowOne(host->options, owner, [&] { return std::make_unique<OptionsDialog>(host->settings); });
  };
  services.showAbout = [host, settings](HWND owner) {
    host->ShowOne(host->about, owner, [&] {
      return std::make_unique<AboutDialog>([settings](HWND dialog) { CheckVersionFor(dialog, false, settings); });
    });
  };
  services.showCreateReport = [host, settings](HWND owner, std::shared_ptr<const TraceSource> source) {
    // A dialog opened for another source is replaced, unless it is writing.
    if (host->report && host->report->hwnd() && host->report->SourceShared() != source && !host->report->Writing() &&
        !host->report->WaitingToStart()) {
      // Through its own procedure, so it leaves the open windows' count.
      DestroyWindow(host->report->hwnd());
      host->report.reset();
    }
    host->ShowOne(host->report, owner, [settings, &source] {
      return std::make_unique<CreateReportDialog>(
          Categories(),
          [settings, source](const CategoryInfo& category, RowSink& rows, ReadProgress& progress) {
            // The profiles chosen in the options are this PC's.
            const BrowserProfileChoice profiles =
                source && !source->Live() ? BrowserProfileChoice{} : StoredProfileChoice(settings);
            ReadSectionRows(category, rows, progress, profiles, source.get());
          },
          source);
    });
  };
  services.openTracesFolder = [settings](HWND owner) {
    OpenFolderDialog dialog(settings);
    return dialog.ShowModal(owner);
  };
  services.showProgress = [host](HWND owner, double maximum, std::function<void()> onCancel) {
    if (host->progress && host->progress->hwnd()) host->progress->Close();
    host->progress = std::make_unique<ProgressDialog>(std::move(onCancel));
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
  services.cookieFolder = [](const TraceSource& source) { return CookieFolder(source); };
  services.browserProfiles = [settings] { return StoredProfileChoice(settings); };
  services.chooseIndexFile = [](HWND owner, const TraceSource& source) {
    IndexFileDialog dialog(source);
    return dialog.ShowModal(owner);
  };
  return services;
}

}  // namespace tmr
