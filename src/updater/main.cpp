#include <windows.h>

#include "BuildSettings.h"
#include "platform/MessagePump.h"
#include "platform/Shell.h"
#include "updater/UpdaterText.h"
#include "updater/UpdaterWindow.h"
#include "updater/ViewerProcesses.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  using namespace tmr;
  UpdaterConfig config;
  config.siteAddress = build::kSiteAddress;
  config.publicKey = HexToBytes(build::kUpdatePublicKey).value_or(std::vector<uint8_t>());
  config.folder = ProgramFolder();
  config.endViewers = EndRunningViewers;
  UpdaterWindow window(config);
  SetQuitWhenLastWindowCloses(true);
  if (!window.Create(showCommand)) return 1;
  return RunMessageLoop();
}
