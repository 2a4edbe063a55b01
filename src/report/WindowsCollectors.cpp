#include "report/WindowsCollectors.h"

#include "core/ProgramState.h"
#include "readers/windows/MruText.h"
#include "readers/windows/RegistryList.h"
#include "readers/windows/WindowsReaders.h"

namespace tmr {
namespace {

TextSink Into(EntryList& list) {
  return [&list](std::string text) { AppendEntry(list, std::move(text)); };
}

}  // namespace

EntryList getRegList(HKEY root, std::string_view keyPath, std::string_view kind) {
  EntryList list;
  ForEachRegListValue(root, keyPath, kind, true, Into(list));
  return list;
}

EntryList GetRecentDocuments(const std::function<void()>& doEvents) {
  EntryList list;
  ForEachRecentDocument(doEvents, Into(list));
  return list;
}

EntryList GetSearchHistory() {
  if (OsVersion == "95" || OsVersion == "98") {
    return MergeA(getRegList(HKEY_CURRENT_USER, kExplorer + "\\Doc Find Spec MRU", ""),
                  getRegList(HKEY_CURRENT_USER, kExplorer + "\\FindComputerMRU", ""));
  }
  // Each key's list keeps its placeholder in the merge, so an empty row
  // separates the lists on the page.
  EntryList merged;
  for (const char* sub : {"ComputerNameMRU", "ContainingTextMRU", "filesNamedMRU"}) {
    merged = MergeA(merged, getRegList(HKEY_CURRENT_USER, kExplorerBar + "\\" + sub, ""));
  }
  for (const char* sub : {"5603", "5604", "5647"}) {
    merged = MergeA(merged, getRegList(HKEY_CURRENT_USER, kSearchAssistant + "\\" + sub, ""));
  }
  ForEachDecodedEntry(kExplorer + "\\WordWheelQuery", DecodeLeadingText, Into(merged));
  return merged;
}

EntryList getRunHistory() { return getRegList(HKEY_CURRENT_USER, kExplorer + "\\RunMRU", "run"); }

EntryList getOpenSave() {
  if (OsVersion != "Vista") return getRegList(HKEY_CURRENT_USER, kComDlg32 + "\\OpenSaveMRU\\*", "open");
  EntryList list;
  ForEachOpenSavePidlEntry(Into(list));
  return list;
}

EntryList getLastVisit() {
  EntryList list;
  ForEachDecodedEntry(kComDlg32 + "\\LastVisitedPidlMRU", DecodeLeadingText, Into(list));
  return list;
}

EntryList getUSBStorage() {
  EntryList list;
  ForEachUsbFriendlyName(Into(list));
  return list;
}

EntryList getFirstFolder() {
  EntryList list;
  ForEachDecodedEntry(kComDlg32 + "\\FirstFolder", DecodeLeadingText, Into(list));
  return list;
}

EntryList GetTypedPath() { return getRegList(HKEY_CURRENT_USER, kExplorer + "\\TypedPaths", ""); }

}  // namespace tmr
