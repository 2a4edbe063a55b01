// The source routine behind every category key.
#pragma once

#include <functional>

#include "categories/Dispatch.h"

namespace tmr {

// Fills the table with every source the program has, by key. chooseIndexFile
// shows the dialog in which the user picks the cache index file (a4); it
// sets IndexDatPath.
void RegisterAllSources(SourceTable& table, std::function<void()> chooseIndexFile);

}  // namespace tmr
