// Ends every running viewer before the installer replaces its files.
#pragma once

namespace tmr {

void EndRunningViewers();

}  // namespace tmr
