#include <windows.h>

#include "BuildSettings.h"
#include "app/ViewerProgram.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  return tmr::Main(instance, showCommand, {tmr::build::kSiteAddress, tmr::build::kMakerPageAddress});
}
