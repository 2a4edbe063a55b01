#include "updater/ViewerProcesses.h"

namespace tmr {

void EndRunningViewers() {}

}  // namespace tmr
