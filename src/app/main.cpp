#include <windows.h>

#include "BuildSettings.h"
#include "app/ViewerProgram.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const std::vector<std::string> arguments = tmr::ProgramArguments();
  return tmr::Main(instance, showCommand, {tmr::build::kSiteAddress, tmr::build::kMakerPageAddress}, arguments);
}
