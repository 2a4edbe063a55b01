// The eight categories under the tree's Windows node (keys b1 ... b8). Each
// reads one kind of trace the user's Windows keeps and refills the main
// list with one column; none of them changes what it reads.
#pragma once

#include <cstdint>

#include "app/Dispatch.h"
#include "common/ListTarget.h"

namespace tmr {

void ShowRecentDocuments(ListTarget& list);   // b1
void ShowSearchHistory(ListTarget& list);     // b2
void ShowRunHistory(ListTarget& list);        // b3
void ShowOpenSaveHistory(ListTarget& list);   // b4
void ShowLastVisited(ListTarget& list);       // b5
void ShowUsbStorage(ListTarget& list);        // b6
void ShowFirstFolders(ListTarget& list);      // b7
void ShowTypedPaths(ListTarget& list);        // b8

// Whether a Recent folder entry with these attributes is a folder, never
// listed as a document: the directory bit, whatever other bits (archive,
// reparse point, not indexed) come with it.
bool IsFolderAttribute(uint32_t attributes);

// Registers b1 ... b8.
void RegisterWindowsSources(SourceTable& table);

}  // namespace tmr
