#include "readers/windows/WindowsReaders.h"

#include <windows.h>

#include <string>
#include <vector>

#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/Registry.h"
#include "platform/WinText.h"
#include "readers/windows/MruText.h"
#include "readers/windows/RegistryList.h"

namespace tmr {
namespace {

using Decoder = std::string (*)(const Bytes& entry);

// The binary entries of a user key whose decoded text is not blank.
void AddDecodedEntries(RowSink& rows, const TraceSource& source, const std::string& keyPath, Decoder decode) {
  auto names = source.ValueNames(TraceRoot::kUser, keyPath);
  if (!names || names->empty()) return;
  // After the named entries the key's default value is decoded as well, as
  // these lists have always been read (the keys normally lack one).
  names->emplace_back();
  for (const std::string& name : *names) {
    if (name == "MRUListEx") continue;
    std::string text = decode(source.Bytes(TraceRoot::kUser, keyPath, name));
    if (!Trim(text).empty()) rows.AddRow(text);
  }
}

// One key's values as a list of its own (see RowSink::BeginList).
void AddValueList(RowSink& rows, const TraceSource& source, const std::string& keyPath) {
  std::vector<std::string> values = TextValuesOf(source, TraceRoot::kUser, keyPath, ValueFilter::kAll);
  if (values.empty()) return;
  rows.BeginList();
  for (const std::string& value : values) rows.AddRow(value);
}

}  // namespace

// Windows keeps subfolders (the jump-list stores) next to the shortcuts, and
// a folder that carries a bit above the directory bit (archive, a link to a
// folder) is no more a document than a plain one.
bool IsFolderAttribute(uint32_t attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

ReadOutcome ReadRecentDocuments(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  std::string folder = SourceOf(context).Folder(TraceFolder::kRecent);
  if (folder.empty()) return ReadOutcome::kRead;
  if (folder.back() != '\\') folder += '\\';
  WIN32_FIND_DATAW entry{};
  UniqueFindHandle find(FindFirstFileW(Widen(folder + "*.*").c_str(), &entry));
  if (!find) return ReadOutcome::kRead;
  do {
    std::string name = Narrow(entry.cFileName);
    if (name == "." || name == ".." || IsFolderAttribute(entry.dwFileAttributes)) continue;
    if (name != "index.dat") rows.AddRow(folder + name);
    if (!progress.KeepGoing()) break;
  } while (FindNextFileW(find.get(), &entry));
  return ReadOutcome::kRead;
}

ReadOutcome ReadSearchHistory(const ReadContext& context, RowSink& rows, ReadProgress&) {
  const TraceSource& source = SourceOf(context);
  const std::string family = source.WindowsFamily();
  if (family == "95" || family == "98") {
    AddValueList(rows, source, kExplorer + "\\Doc Find Spec MRU");
    AddValueList(rows, source, kExplorer + "\\FindComputerMRU");
    return ReadOutcome::kRead;
  }
  for (const char* sub : {"ComputerNameMRU", "ContainingTextMRU", "filesNamedMRU"}) {
    AddValueList(rows, source, kExplorerBar + "\\" + sub);
  }
  for (const char* sub : {"5603", "5604", "5647"}) AddValueList(rows, source, kSearchAssistant + "\\" + sub);
  // The words typed into the Start menu join the last list rather than
  // starting one of their own.
  AddDecodedEntries(rows, source, kExplorer + "\\WordWheelQuery", DecodeLeadingEntry);
  return ReadOutcome::kRead;
}

ReadOutcome ReadRunHistory(const ReadContext& context, RowSink& rows, ReadProgress&) {
  AddTextValues(
      rows, SourceOf(context), TraceRoot::kUser, kExplorer + "\\RunMRU",
      context.purpose == ReadPurpose::kReport ? ValueFilter::kRunCommandsWithPath : ValueFilter::kRunCommands);
  return ReadOutcome::kRead;
}

ReadOutcome ReadOpenSaveHistory(const ReadContext& context, RowSink& rows, ReadProgress&) {
  const TraceSource& source = SourceOf(context);
  if (source.WindowsFamily() != "Vista") {
    // Only the "*" subkey, and only values that hold ":" (full paths).
    AddTextValues(rows, source, TraceRoot::kUser, kComDlg32 + "\\OpenSaveMRU\\*", ValueFilter::kFullPaths);
    return ReadOutcome::kRead;
  }
  const std::string key = kComDlg32 + "\\OpenSavePidlMRU";
  for (const std::string& extension : source.SubKeys(TraceRoot::kUser, key)) {
    if (extension == "*") continue;
    AddDecodedEntries(rows, source, key + "\\" + extension, DecodeTrailingEntry);
  }
  return ReadOutcome::kRead;
}

ReadOutcome ReadLastVisited(const ReadContext& context, RowSink& rows, ReadProgress&) {
  AddDecodedEntries(rows, SourceOf(context), kComDlg32 + "\\LastVisitedPidlMRU", DecodeLeadingEntry);
  return ReadOutcome::kRead;
}

ReadOutcome ReadUsbStorage(const ReadContext& context, RowSink& rows, ReadProgress&) {
  const TraceSource& source = SourceOf(context);
  // Devices and their instances are listed last first, as they always were.
  std::vector<std::string> devices = source.SubKeys(TraceRoot::kMachine, kUsbStorageKey);
  for (auto device = devices.rbegin(); device != devices.rend(); ++device) {
    const std::string deviceKey = kUsbStorageKey + "\\" + *device;
    std::vector<std::string> instances = source.SubKeys(TraceRoot::kMachine, deviceKey);
    for (auto instance = instances.rbegin(); instance != instances.rend(); ++instance) {
      if (auto name = source.Text(TraceRoot::kMachine, deviceKey + "\\" + *instance, "FriendlyName")) {
        rows.AddRow(*name);
      }
    }
  }
  return ReadOutcome::kRead;
}

ReadOutcome ReadFirstFolders(const ReadContext& context, RowSink& rows, ReadProgress&) {
  AddDecodedEntries(rows, SourceOf(context), kComDlg32 + "\\FirstFolder", DecodeLeadingEntry);
  return ReadOutcome::kRead;
}

ReadOutcome ReadTypedPaths(const ReadContext& context, RowSink& rows, ReadProgress&) {
  AddTextValues(rows, SourceOf(context), TraceRoot::kUser, kExplorer + "\\TypedPaths", ValueFilter::kAll);
  return ReadOutcome::kRead;
}

}  // namespace tmr
