// The eight categories under the tree's Windows node (keys b1 ... b8). Each
// reads one kind of trace the user's Windows keeps and refills the main
// list with one column; none of them changes what it reads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "readers/ListTarget.h"

namespace tmr {

// Where the Windows traces live (HKEY_CURRENT_USER, USB storage under
// HKEY_LOCAL_MACHINE).
inline const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline const std::string kComDlg32 = kExplorer + "\\ComDlg32";
inline const std::string kExplorerBar =
    "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}";
inline const std::string kSearchAssistant = "Software\\Microsoft\\Search Assistant\\ACMru";
inline const std::string kUsbStorage = "SYSTEM\\CurrentControlSet\\Enum\\USBSTOR";

void ShowRecentDocuments(ListTarget& list);  // b1
void ShowSearchHistory(ListTarget& list);    // b2
void ShowRunHistory(ListTarget& list);       // b3
void ShowOpenSaveHistory(ListTarget& list);  // b4
void ShowLastVisited(ListTarget& list);      // b5
void ShowUsbStorage(ListTarget& list);       // b6
void ShowFirstFolders(ListTarget& list);     // b7
void ShowTypedPaths(ListTarget& list);       // b8

// Whether a Recent folder entry with these attributes is a folder, never
// listed as a document: the directory bit, whatever other bits (archive,
// reparse point, not indexed) come with it.
bool IsFolderAttribute(uint32_t attributes);

// The readers behind the categories, shared with the report: each hands
// every text it finds, in order, to add.
using TextSink = std::function<void(std::string)>;
using Decoder = std::string (*)(std::string_view path, std::string_view valueName);
// The binary entries of a user key whose decoded text is not blank.
void ForEachDecodedEntry(const std::string& keyPath, Decoder decode, const TextSink& add);
// Full paths of the Recent folder's files (index.dat and folders left out).
void ForEachRecentDocument(const std::function<void()>& doEvents, const TextSink& add);
// The file names of the open/save lists of Vista and later.
void ForEachOpenSavePidlEntry(const TextSink& add);
// "FriendlyName" of every USB storage device instance.
void ForEachUsbFriendlyName(const TextSink& add);

}  // namespace tmr
