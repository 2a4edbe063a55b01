// The files of today's Windows traces: jump lists, the Recycle Bin's $I
// files and PowerShell's history. Files are read whole into memory (shared,
// read only) up to a size no real one reaches, and parsed by the bounded
// decoders of core/, so a damaged or crafted file costs no more than its
// bytes.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/JumpList.h"
#include "core/PowerShellHistory.h"
#include "core/RecycleBinEntry.h"
#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/SharedFile.h"
#include "platform/SystemStrayBytes.h"
#include "platform/WinText.h"
#include "readers/windows/TodayReaders.h"

namespace tmr {
namespace {

// A jump list holds a few hundred entries at most (a few MB); a file this
// large is not one, and is skipped rather than read.
constexpr size_t kMostJumpListBytes = 64u << 20;
// A $I file is its fixed fields and a path of at most 32,767 UTF-16 units.
constexpr size_t kMostRecycleEntryBytes = 28 + 2 * 32768;
// The history keeps 4,096 commands by default; past this much only the
// commands before are listed.
constexpr size_t kMostHistoryBytes = 64u << 20;

// The names of the files (not folders) of a folder that match the pattern,
// sorted so that every source lists them alike.
std::vector<std::string> FileNamesIn(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry{};
  UniqueFindHandle find(FindFirstFileW(Widen(folder + "\\" + pattern).c_str(), &entry));
  if (!find) return names;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(Narrow(entry.cFileName));
  } while (FindNextFileW(find.get(), &entry));
  std::sort(names.begin(), names.end());
  return names;
}

// The file names that end in the extension, letter case ignored: a
// pattern's match also looks at the short 8.3 names, which would let other
// files in.
std::vector<std::string> FilesEndingIn(const std::string& folder, const std::string& extension) {
  std::vector<std::string> names = FileNamesIn(folder, "*" + extension);
  std::erase_if(names, [&](const std::string& name) { return !EndsWith(ToLowerAscii(name), ToLowerAscii(extension)); });
  return names;
}

std::span<const uint8_t> BytesOf(const std::string& bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

// The AppID a jump list's file name starts with, and the program it names
// where the table knows it.
std::string ApplicationOfListFile(const std::string& fileName) {
  const std::string appId = fileName.substr(0, fileName.find('.'));
  const std::string_view known = ApplicationOfAppId(appId);
  return known.empty() ? appId : std::string(known);
}

CellValue SizeCell(uint64_t size) {
  return size <= static_cast<uint64_t>(INT64_MAX) ? CellValue::Number(static_cast<int64_t>(size)) : CellValue::Text({});
}

void AddJumpListRow(RowSink& rows, const std::string& target, const std::string& application, CellValue lastOpened,
                    std::string_view pinned, const ShellLinkInfo* link) {
  const CellValue none = CellValue::Text({});
  const CellValue cells[] = {CellValue::Text(target),
                             CellValue::Text(application),
                             lastOpened,
                             CellValue::Text(pinned),
                             link ? FileTimeCell(link->created) : none,
                             link ? FileTimeCell(link->written) : none,
                             link ? FileTimeCell(link->accessed) : none,
                             link ? CellValue::Number(link->fileSize) : none};
  rows.AddRow(cells);
}

void AddAutomaticList(RowSink& rows, const std::string& file, const std::string& application) {
  const std::optional<std::string> bytes = ReadWholeFile(file, kMostJumpListBytes);
  if (!bytes) return;
  const std::optional<AutomaticDestinations> list = ReadAutomaticDestinations(BytesOf(*bytes));
  if (!list) return;
  for (const AutomaticDestination& destination : list->entries) {
    const ShellLinkInfo* link = destination.link ? &*destination.link : nullptr;
    // The link's target is a file system path where the DestList may hold
    // a shell parsing name ("::{GUID}\Pictures.library-ms").
    std::string target = link ? link->TargetPath() : std::string();
    if (target.empty()) target = destination.entry.path;
    AddJumpListRow(rows, target, application, FileTimeCell(destination.entry.lastOpened),
                   destination.entry.pinned ? "Yes" : "No", link);
  }
}

void AddCustomList(RowSink& rows, const std::string& file, const std::string& application) {
  const std::optional<std::string> bytes = ReadWholeFile(file, kMostJumpListBytes);
  if (!bytes) return;
  for (const CustomDestination& destination : ReadCustomDestinations(BytesOf(*bytes))) {
    AddJumpListRow(rows, destination.link.TargetPath(), application, CellValue::Text({}), "", &destination.link);
  }
}

bool PathExists(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

ReadOutcome ReadJumpLists(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  const std::string recent = SourceOf(context).Folder(TraceFolder::kRecent);
  if (recent.empty()) return ReadOutcome::kRead;
  const std::string automatic = recent + "\\" + kAutomaticDestinationsFolder;
  for (const std::string& name : FilesEndingIn(automatic, ".automaticDestinations-ms")) {
    AddAutomaticList(rows, automatic + "\\" + name, ApplicationOfListFile(name));
    if (!progress.KeepGoing()) return ReadOutcome::kRead;
  }
  const std::string custom = recent + "\\" + kCustomDestinationsFolder;
  for (const std::string& name : FilesEndingIn(custom, ".customDestinations-ms")) {
    AddCustomList(rows, custom + "\\" + name, ApplicationOfListFile(name));
    if (!progress.KeepGoing()) break;
  }
  return ReadOutcome::kRead;
}

ReadOutcome ReadRecycleBin(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  const TraceSource& source = SourceOf(context);
  const std::string sid = source.UserSid();
  // Without the SID the bins of other users would be listed as this one's.
  if (sid.empty()) return ReadOutcome::kRead;
  for (std::string root : source.FixedDriveRoots()) {
    if (!root.empty() && root.back() == '\\') root.pop_back();
    const std::string bin = root + "\\$Recycle.Bin\\" + sid;
    for (const std::string& name : FileNamesIn(bin, "$I*")) {
      const std::string file = bin + "\\" + name;
      const std::optional<std::string> bytes = ReadFileHead(file, kMostRecycleEntryBytes);
      const std::optional<RecycleBinEntry> entry = bytes ? DecodeRecycleBinEntry(*bytes) : std::nullopt;
      if (!entry) continue;
      const std::string data = RecycleBinDataName(file);
      const CellValue cells[] = {CellValue::Text(entry->originalPath), SizeCell(entry->originalSize),
                                 FileTimeCell(entry->deletionTime),
                                 CellValue::Text(!data.empty() && PathExists(data) ? "Yes" : "No")};
      rows.AddRow(cells);
      if (!progress.KeepGoing()) return ReadOutcome::kRead;
    }
  }
  return ReadOutcome::kRead;
}

ReadOutcome ReadPowerShellHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  const std::string appData = SourceOf(context).Folder(TraceFolder::kAppData);
  if (appData.empty()) return ReadOutcome::kRead;
  const std::optional<std::string> text = ReadFileHead(appData + "\\" + kPowerShellHistoryFile, kMostHistoryBytes);
  if (!text) return ReadOutcome::kRead;
  const std::vector<std::string> commands = SplitPowerShellHistory(*text, SystemStrayBytes());
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const CellValue cells[] = {CellValue::Text(commands[i]), CellValue::Number(static_cast<int64_t>(i + 1))};
    rows.AddRow(cells);
    if (!progress.KeepGoing()) break;
  }
  return ReadOutcome::kRead;
}

}  // namespace tmr
