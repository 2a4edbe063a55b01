#include "updater/ViewerProcesses.h"

#include "platform/Processes.h"

namespace tmr {

void EndRunningViewers() { KillProcessByName("tracemere.exe"); }

}  // namespace tmr
