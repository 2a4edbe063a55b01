// Running processes by name: listing them in two independent ways and
// ending those whose executable name contains a given text. The viewer ends
// Chrome before it reads Chrome's files; the updater ends the viewer before
// it starts the installer. No confirmation and no message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

// Fills names and ids (emptied first) with the running processes, through
// the process-status interface (usePsapi) or a tool-help snapshot. A
// non-empty filter keeps only names containing it, letter case exact.
// Returns the count, or -1 when the listing failed (both lists empty).
int EnumProcessList(bool usePsapi, std::string_view filter, std::vector<std::string>& names,
                    std::vector<uint32_t>& ids);

// The base name of the process's executable; "" when it cannot be read.
// Identifiers 0 and 2 are named without looking.
std::string ProcessNameById(uint32_t id);

// Ends a process with exit code 0 and waits (two seconds at most) until it
// has exited. With a window, the process that owns it is meant, and id
// receives its identifier. True when the end was ordered.
bool TerminateProcessById(uint32_t& id, HWND window = nullptr);

// Ends every process whose name contains name, letter case ignored, once
// per listing pass. An empty name ends nothing.
void KillProcessByName(std::string_view name);

}  // namespace tmr
