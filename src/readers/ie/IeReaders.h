// The four categories under the tree's Internet Explorer node (keys a1 ...
// a4). Each refills the main list; none changes what it reads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "readers/ListTarget.h"

namespace tmr {

class UrlHistory;

void ShowUrlHistory(ListTarget& list, UrlHistory& history);  // a1
void ShowTypedUrls(ListTarget& list);                        // a2
void ShowCookies(ListTarget& list);                          // a3
// a4: chooseFile shows the file dialog, which sets IndexDatPath.
void ShowIndexDatFile(ListTarget& list, const std::function<void()>& chooseFile);

// The a4 scan of one file into the list, with the progress window and the
// main window's Cancel button (the steps after the dialog).
void ScanIndexDatFile(ListTarget& list, const std::string& path);

// Every row of a cache index file by the scan rule, read in large steps:
// onOpened gets the file's length, onRow each row (false stops), afterStep
// runs after each step (false stops). False when the file cannot be opened.
bool ForEachIndexRow(const std::string& path, const std::function<void(uint64_t length)>& onOpened,
                     const std::function<bool(std::string_view row)>& onRow,
                     const std::function<bool(const class IndexDatScanner&)>& afterStep);

// One cookie folder (with its trailing "\") into the list.
void ScanCookieFolder(ListTarget& list, const std::string& folder);

// The cache index file the scan offers first: the "Cache" shell folder +
// "\Content.IE5\index.dat"; "" when the value is missing, so that the
// sentinel text never reaches the box.
std::string DefaultIndexDatPath();

// The file the a4 scan reads; "" means that nothing is scanned. Set by the
// file dialog, read by the scan.
inline std::string IndexDatPath;

}  // namespace tmr
