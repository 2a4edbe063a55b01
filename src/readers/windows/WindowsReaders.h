// The readers of the traces Windows keeps for the user: recent documents,
// search words, the Run box, the open/save and last-visited lists, USB
// storage devices, first folders and typed paths. Each hands one text per
// row; none changes what it reads.
#pragma once

#include <cstdint>
#include <string>

#include "readers/RowSink.h"

namespace tmr {

// Where the Windows traces live (HKEY_CURRENT_USER, USB storage under
// HKEY_LOCAL_MACHINE).
inline const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline const std::string kComDlg32 = kExplorer + "\\ComDlg32";
inline const std::string kExplorerBar =
    "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}";
inline const std::string kSearchAssistant = "Software\\Microsoft\\Search Assistant\\ACMru";
inline const std::string kUsbStorageKey = "SYSTEM\\CurrentControlSet\\Enum\\USBSTOR";

// Full paths of the Recent folder's files (index.dat and folders left out).
ReadOutcome ReadRecentDocuments(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// The search lists of the explorer bar and the search assistant, one list
// per key, then the words typed into the Start menu search.
ReadOutcome ReadSearchHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// The Run box's commands; the report leaves out those without a path.
ReadOutcome ReadRunHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// Full paths of the open/save lists before Vista, the file names of its
// per-extension lists from Vista on.
ReadOutcome ReadOpenSaveHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadLastVisited(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// "FriendlyName" of every USB storage device instance.
ReadOutcome ReadUsbStorage(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadFirstFolders(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadTypedPaths(const ReadContext& context, RowSink& rows, ReadProgress& progress);

// Whether a Recent folder entry with these attributes is a folder, never
// listed as a document: the directory bit, whatever other bits (archive,
// reparse point, not indexed) come with it.
bool IsFolderAttribute(uint32_t attributes);

}  // namespace tmr
