// The four categories under the tree's Internet Explorer node (keys a1 ...
// a4). Each refills the main list; none changes what it reads.
#pragma once

#include <functional>
#include <string>

#include "app/Dispatch.h"
#include "common/ListTarget.h"

namespace tmr {

class CURLHistory;

void ShowUrlHistory(ListTarget& list, CURLHistory& history);  // a1
void ShowTypedUrls(ListTarget& list);                          // a2
void ShowCookies(ListTarget& list);                            // a3
// a4: chooseFile shows the file dialog, which sets IndexDatPath.
void ShowIndexDatFile(ListTarget& list, const std::function<void()>& chooseFile);

// The a4 scan of one file into the list, with the progress window and the
// main window's Cancel button (the steps after the dialog).
void ScanIndexDatFile(ListTarget& list, const std::string& path);

// One cookie folder (with its trailing "\") into the list.
void ScanCookieFolder(ListTarget& list, const std::string& folder);

// Registers a1 ... a4. The URL history object is made at the first a1 click
// and then kept for the life of the table, as the main window keeps it.
void RegisterIeSources(SourceTable& table);

}  // namespace tmr
