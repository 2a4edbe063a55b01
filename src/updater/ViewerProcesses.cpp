#include "updater/ViewerProcesses.h"

#include "common/ModProcess.h"

namespace tmr {

void EndRunningViewers() { KillProcessByName("tracemere.exe"); }

}  // namespace tmr
