#include "readers/windows/WindowsReaders.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/ProgramState.h"
#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/Registry.h"
#include "platform/WinText.h"
#include "readers/windows/MruText.h"
#include "readers/windows/RegistryList.h"

namespace tmr {
namespace {

struct Frame {
  const char* hint;
  const char* kind;  // null: the list kind is left as it is
  const char* header;
  int widthTwips;
  bool hideWhileFilling = false;
};

// The frame every category shares. Panel 2 gets the count in all eight: a
// count left over from another category beside this list would be wrong.
void RunCategory(ListTarget& list, const Frame& frame, const std::function<void(ListTarget&)>& fill) {
  list.SetPanel(1, frame.hint);
  if (frame.kind) list.SetListKind(frame.kind);
  list.ClearList();
  list.AddColumn(frame.header, frame.widthTwips);
  if (frame.hideWhileFilling) list.SetListVisible(false);
  try {
    fill(list);
  } catch (...) {
    // Whatever was listed before the failure stays; the frame is finished.
  }
  if (frame.hideWhileFilling) list.SetListVisible(true);
  ShowRecordCount(list);
}

// The value names of a key, split at ","; none when the key cannot be read.
std::vector<std::string> ValueNames(HKEY root, const std::string& keyPath) {
  std::string names = ListRegValueNames(root, keyPath);
  if (names == kRegError) return {};
  return Split(names, ",");
}

void AddDecodedEntries(ListTarget& list, const std::string& keyPath, Decoder decode) {
  ForEachDecodedEntry(keyPath, decode, [&list](std::string text) { list.AddRow({std::move(text)}); });
}

void FillRecentDocuments(ListTarget& list) {
  ForEachRecentDocument([&list] { list.DoEvents(); }, [&list](std::string path) { list.AddRow({std::move(path)}); });
}

void FillSearchHistory(ListTarget& list) {
  // Every key here lists in the generic way, whatever kind the list had.
  if (OsVersion == "95" || OsVersion == "98") {
    ShowRegListAs(list, HKEY_CURRENT_USER, kExplorer + "\\Doc Find Spec MRU", "");
    ShowRegListAs(list, HKEY_CURRENT_USER, kExplorer + "\\FindComputerMRU", "");
    return;
  }
  for (const char* sub : {"ComputerNameMRU", "ContainingTextMRU", "filesNamedMRU"}) {
    ShowRegListAs(list, HKEY_CURRENT_USER, kExplorerBar + "\\" + sub, "");
  }
  for (const char* sub : {"5603", "5604", "5647"}) {
    ShowRegListAs(list, HKEY_CURRENT_USER, kSearchAssistant + "\\" + sub, "");
  }
  AddDecodedEntries(list, kExplorer + "\\WordWheelQuery", DecodeLeadingText);
}

void FillOpenSaveHistory(ListTarget& list) {
  if (OsVersion != "Vista") {
    // Only the "*" subkey, and only values that hold ":" (full paths).
    ShowRegList(list, HKEY_CURRENT_USER, kComDlg32 + "\\OpenSaveMRU\\*");
    return;
  }
  ForEachOpenSavePidlEntry([&list](std::string text) { list.AddRow({std::move(text)}); });
}

void FillUsbStorage(ListTarget& list) {
  ForEachUsbFriendlyName([&list](std::string name) { list.AddRow({std::move(name)}); });
}

}  // namespace

void ForEachDecodedEntry(const std::string& keyPath, Decoder decode, const TextSink& add) {
  // Every name is decoded, the empty one after the final "," included (it
  // addresses the key's default value, which these keys normally lack).
  const std::string path = "HKEY_CURRENT_USER\\" + keyPath + "\\";
  for (const std::string& name : ValueNames(HKEY_CURRENT_USER, keyPath)) {
    if (name == "MRUListEx") continue;
    std::string text = decode(path, name);
    if (!Trim(text).empty()) add(std::move(text));
  }
}

void ForEachRecentDocument(const std::function<void()>& doEvents, const TextSink& add) {
  std::string folder = GetRegText(HKEY_CURRENT_USER, kExplorer + "\\Shell Folders", "Recent");
  if (folder.empty() || folder == kRegError) return;
  if (folder.back() != '\\') folder += '\\';
  WIN32_FIND_DATAW entry{};
  UniqueFindHandle find(FindFirstFileW(Widen(folder + "*.*").c_str(), &entry));
  if (!find) return;
  do {
    std::string name = Narrow(entry.cFileName);
    if (name == "." || name == ".." || IsFolderAttribute(entry.dwFileAttributes)) continue;
    doEvents();
    if (name != "index.dat") add(folder + name);
    doEvents();
  } while (FindNextFileW(find.get(), &entry));
}

void ForEachOpenSavePidlEntry(const TextSink& add) {
  const std::string key = kComDlg32 + "\\OpenSavePidlMRU";
  std::vector<std::string> extensions = Split(ListRegSubKeys(HKEY_CURRENT_USER, key), ",");
  // The lister returns subkeys last first; walking it backwards gives the
  // registry's own order.
  for (auto it = extensions.rbegin(); it != extensions.rend(); ++it) {
    if (*it == "*") continue;
    ForEachDecodedEntry(key + "\\" + *it, DecodeTrailingName, add);
  }
}

void ForEachUsbFriendlyName(const TextSink& add) {
  for (const std::string& device : Split(ListRegSubKeys(HKEY_LOCAL_MACHINE, kUsbStorage), ",")) {
    const std::string deviceKey = kUsbStorage + "\\" + device;
    for (const std::string& instance : Split(ListRegSubKeys(HKEY_LOCAL_MACHINE, deviceKey), ",")) {
      std::string name = GetRegText(HKEY_LOCAL_MACHINE, deviceKey + "\\" + instance, "FriendlyName");
      if (name != kRegError) add(std::move(name));
    }
  }
}

// Windows keeps subfolders (the jump-list stores) next to the shortcuts, and
// a folder that carries a bit above the directory bit (archive, a link to a
// folder) is no more a document than a plain one.
bool IsFolderAttribute(uint32_t attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

void ShowRecentDocuments(ListTarget& list) {
  RunCategory(list, {"Double Click to open", "recdoc", "Recent Documents", 8000, true}, FillRecentDocuments);
}

void ShowSearchHistory(ListTarget& list) {
  RunCategory(list, {"", nullptr, "Start Menu Search History", 8000}, FillSearchHistory);
}

void ShowRunHistory(ListTarget& list) {
  RunCategory(list, {"Double Cilck to run", "run", "Start Menu Run History", 8000},
              [](ListTarget& l) { ShowRegList(l, HKEY_CURRENT_USER, kExplorer + "\\RunMRU"); });
}

void ShowOpenSaveHistory(ListTarget& list) {
  RunCategory(list, {"", "open", "Open/Save History", 6000}, FillOpenSaveHistory);
}

void ShowLastVisited(ListTarget& list) {
  RunCategory(list, {"", nullptr, "Last Visited History", 8000},
              [](ListTarget& l) { AddDecodedEntries(l, kComDlg32 + "\\LastVisitedPidlMRU", DecodeLeadingText); });
}

void ShowUsbStorage(ListTarget& list) { RunCategory(list, {"", nullptr, "USB Storage History", 8000}, FillUsbStorage); }

void ShowFirstFolders(ListTarget& list) {
  RunCategory(list, {"", nullptr, "First Folder (Windows 7)", 8000},
              [](ListTarget& l) { AddDecodedEntries(l, kComDlg32 + "\\FirstFolder", DecodeLeadingText); });
}

void ShowTypedPaths(ListTarget& list) {
  RunCategory(list, {"", nullptr, "Type Paths (Windows 7)", 8000},
              [](ListTarget& l) { ShowRegListAs(l, HKEY_CURRENT_USER, kExplorer + "\\TypedPaths", ""); });
}

}  // namespace tmr
