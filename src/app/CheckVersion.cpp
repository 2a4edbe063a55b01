#include "app/CheckVersion.h"

#include "app/SettingsFile.h"
#include "app/UpdateCheck.h"
#include "core/ProgramState.h"
#include "platform/Dialogs.h"
#include "platform/Locale.h"

namespace tmr {

void CheckVersion(HWND owner, bool autoCheck, const UpdateCheckEnv& env) {
  std::optional<std::string> body = HttpGetText(env.siteAddress + "/version.txt", env.timeoutMs);
  UpdateDecision decision = DecideUpdate(body, AppVersion, autoCheck);
  const std::string separator = UserDecimalSeparator();
  switch (decision.step) {
    case UpdateStep::kNothing: return;
    case UpdateStep::kFailedMessage: ShowMessage(owner, FailedToConnectText(), MB_OK); return;
    case UpdateStep::kLatestMessage: ShowMessage(owner, LatestVersionText(AppVersion, separator), MB_OK); return;
    case UpdateStep::kOfferNewVersion:
      if (ShowMessage(owner, NewVersionQuestion(decision.newVersion, separator), MB_YESNO) == IDYES) {
        // A missing or unstartable updater shows nothing; the date is still
        // stored.
        StartProgram(env.programFolder + "\\renovo.exe", SW_SHOWMINIMIZED);
      }
      if (env.settings) env.settings->SaveSetting("General", "LastCheckUpdate", FormatShortDate(LocalToday()));
      return;
  }
}

}  // namespace tmr
