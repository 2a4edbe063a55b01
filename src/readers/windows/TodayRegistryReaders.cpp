// The registry's traces of today's Windows: program use counts, ShellBags,
// remote desktop hosts, Office documents and the programs started with
// Windows. Values are taken whole through TraceSource::Values: the names of
// use counts are long paths, which the 20-character name listing would cut
// off, and string values come as REG_SZ and REG_EXPAND_SZ alike.
#include <windows.h>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/BinaryFields.h"
#include "core/OfficeMru.h"
#include "core/ShellItems.h"
#include "core/TextUtil.h"
#include "core/UserAssist.h"
#include "readers/windows/TodayReaders.h"

namespace tmr {
namespace {

// The text of a string value up to its first NUL; nullopt for a value of
// another type.
std::optional<std::string> StringOf(const TraceValue& value) {
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return std::nullopt;
  const ByteRange data(value.data);
  return Utf16Field(data, 0, data.size() / 2).text;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) { return ToLowerAscii(a) == ToLowerAscii(b); }

// The number a name ends with after its prefix ("Item 12", "MRU3", the
// ShellBags' "7"); nullopt unless the rest is all digits.
std::optional<uint32_t> NumberAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || !SameIgnoringCase(name.substr(0, prefix.size()), prefix)) return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  uint32_t number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return number;
}

// The values whose names are the prefix and a number, by that number: the
// registry keeps values in the order they were first written, which for
// these lists says nothing.
std::vector<std::pair<uint32_t, const TraceValue*>> Numbered(const std::vector<TraceValue>& values,
                                                             std::string_view prefix) {
  std::vector<std::pair<uint32_t, const TraceValue*>> numbered;
  for (const TraceValue& value : values) {
    if (std::optional<uint32_t> number = NumberAfter(value.name, prefix)) numbered.emplace_back(*number, &value);
  }
  std::stable_sort(numbered.begin(), numbered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return numbered;
}

CellValue KeyWrittenCell(const TraceSource& source, TraceRoot root, const std::string& key) {
  return FileTimeCell(source.KeyLastWritten(root, key).value_or(0));
}

// ---- ShellBags ----

// A folder path is rarely more than a few dozen levels deep; a deeper tree
// is not one Explorer wrote, and the walk stops there rather than running
// the stack down.
constexpr int kMostBagLevels = 64;

struct BagWalk {
  const TraceSource& source;
  TraceRoot root;
  RowSink& rows;
  ReadProgress& progress;
  std::vector<ShellItem> items;  // from the BagMRU root down to the folder being read
  bool stopped = false;
};

// Each numbered value of a bag key is one folder, its subkey of the same
// name the folders opened below it.
void WalkBag(BagWalk& walk, const std::string& key, int level) {
  const std::optional<std::vector<TraceValue>> values = walk.source.Values(walk.root, key);
  if (!values) return;
  for (const auto& [number, value] : Numbered(*values, "")) {
    // An item that claims more bytes than its value holds is damage; the
    // folders below it have no path to hang from either.
    std::optional<ShellItem> item = DecodeShellItem(value->data);
    if (!item) continue;
    const bool named = !item->name.empty();
    walk.items.push_back(std::move(*item));
    const std::string child = key + "\\" + value->name;
    if (named) {
      const std::string path = ShellItemPath(walk.items);
      const CellValue cells[] = {CellValue::Text(path), KeyWrittenCell(walk.source, walk.root, child)};
      walk.rows.AddRow(cells);
    }
    if (level + 1 < kMostBagLevels) WalkBag(walk, child, level + 1);
    walk.items.pop_back();
    if (walk.stopped || !walk.progress.KeepGoing()) {
      walk.stopped = true;
      return;
    }
  }
}

// ---- Office ----

void AddOfficeList(const TraceSource& source, const std::string& key, const std::string& application, RowSink& rows) {
  const std::optional<std::vector<TraceValue>> values = source.Values(TraceRoot::kUser, key);
  if (!values) return;
  for (const auto& [number, value] : Numbered(*values, "Item ")) {
    const std::optional<std::string> text = StringOf(*value);
    if (!text) continue;
    const OfficeMruItem item = DecodeOfficeMruItem(*text);
    if (Trim(item.path).empty()) continue;
    const CellValue cells[] = {CellValue::Text(item.path), CellValue::Text(application), FileTimeCell(item.lastUsed)};
    rows.AddRow(cells);
  }
}

// ---- startup ----

struct StartupKey {
  TraceRoot root;
  std::string key;
  std::string shown;  // the key's full name in the list
};

std::vector<StartupKey> StartupKeys() {
  const std::string machineRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  // 32-bit programs on 64-bit Windows register under the redirected key.
  const std::string machineRun32 = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
  std::vector<StartupKey> keys;
  for (const char* suffix : {"", "Once"}) {
    keys.push_back({TraceRoot::kUser, kRunKey + suffix, "HKEY_CURRENT_USER\\" + kRunKey + suffix});
  }
  for (const std::string& run : {machineRun, machineRun32}) {
    for (const char* suffix : {"", "Once"}) {
      keys.push_back({TraceRoot::kMachine, run + suffix, "HKEY_LOCAL_MACHINE\\" + run + suffix});
    }
  }
  return keys;
}

}  // namespace

ReadOutcome ReadProgramsRun(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  const TraceSource& source = SourceOf(context);
  for (const std::string& guid : source.SubKeys(TraceRoot::kUser, kUserAssistKey)) {
    const std::optional<std::vector<TraceValue>> values =
        source.Values(TraceRoot::kUser, kUserAssistKey + "\\" + guid + "\\Count");
    if (!values) continue;
    for (const TraceValue& value : *values) {
      const UserAssistName name = DecodeUserAssistName(value.name);
      if (IsBookkeeping(name.tag) || name.subject.empty()) continue;
      // A value of another size is no count this reader knows.
      const std::optional<UserAssistCounts> counts = DecodeUserAssistData(value.data);
      if (!counts) continue;
      const CellValue cells[] = {CellValue::Text(name.subject), CellValue::Number(counts->runCount),
                                 counts->focusTimeMs ? CellValue::Number(*counts->focusTimeMs) : CellValue::Text({}),
                                 FileTimeCell(counts->lastRun)};
      rows.AddRow(cells);
    }
    if (!progress.KeepGoing()) break;
  }
  return ReadOutcome::kRead;
}

ReadOutcome ReadFoldersOpened(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  const TraceSource& source = SourceOf(context);
  for (const auto& [root, key] :
       {std::pair{TraceRoot::kUserClasses, kClassesBagMruKey}, std::pair{TraceRoot::kUser, kUserBagMruKey}}) {
    BagWalk walk{source, root, rows, progress, {}};
    WalkBag(walk, key, 0);
    if (walk.stopped) break;
  }
  return ReadOutcome::kRead;
}

ReadOutcome ReadRemoteDesktop(const ReadContext& context, RowSink& rows, ReadProgress&) {
  const TraceSource& source = SourceOf(context);
  const std::string serversKey = kRemoteDesktopKey + "\\Servers";
  // The connection box's list first, most recent first, then the hosts
  // that have a key of their own but have left the list.
  std::vector<std::string> hosts;
  auto listed = [&hosts](std::string_view host) {
    return std::any_of(hosts.begin(), hosts.end(), [&](const std::string& h) { return SameIgnoringCase(h, host); });
  };
  if (const std::optional<std::vector<TraceValue>> values =
          source.Values(TraceRoot::kUser, kRemoteDesktopKey + "\\Default")) {
    for (const auto& [number, value] : Numbered(*values, "MRU")) {
      std::optional<std::string> host = StringOf(*value);
      if (host && !Trim(*host).empty() && !listed(*host)) hosts.push_back(std::move(*host));
    }
  }
  for (std::string& host : source.SubKeys(TraceRoot::kUser, serversKey)) {
    if (!listed(host)) hosts.push_back(std::move(host));
  }
  for (const std::string& host : hosts) {
    const std::string key = serversKey + "\\" + host;
    const std::string hint = source.Text(TraceRoot::kUser, key, "UsernameHint").value_or("");
    const CellValue cells[] = {CellValue::Text(host), CellValue::Text(hint),
                               KeyWrittenCell(source, TraceRoot::kUser, key)};
    rows.AddRow(cells);
  }
  return ReadOutcome::kRead;
}

ReadOutcome ReadOfficeDocuments(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  const TraceSource& source = SourceOf(context);
  for (const std::string& version : source.SubKeys(TraceRoot::kUser, kOfficeKey)) {
    const std::string versionKey = kOfficeKey + "\\" + version;
    for (const std::string& application : source.SubKeys(TraceRoot::kUser, versionKey)) {
      const std::string applicationKey = versionKey + "\\" + application;
      AddOfficeList(source, applicationKey + "\\File MRU", application, rows);
      // Office 2013 and later keep a list per signed-in account as well.
      const std::string accountsKey = applicationKey + "\\User MRU";
      for (const std::string& account : source.SubKeys(TraceRoot::kUser, accountsKey)) {
        AddOfficeList(source, accountsKey + "\\" + account + "\\File MRU", application, rows);
      }
    }
    if (!progress.KeepGoing()) break;
  }
  return ReadOutcome::kRead;
}

ReadOutcome ReadStartupPrograms(const ReadContext& context, RowSink& rows, ReadProgress&) {
  const TraceSource& source = SourceOf(context);
  for (const StartupKey& startup : StartupKeys()) {
    const std::optional<std::vector<TraceValue>> values = source.Values(startup.root, startup.key);
    if (!values || values->empty()) continue;
    const CellValue written = KeyWrittenCell(source, startup.root, startup.key);
    for (const TraceValue& value : *values) {
      const std::optional<std::string> command = StringOf(value);
      if (!command || (value.name.empty() && command->empty())) continue;
      const CellValue cells[] = {CellValue::Text(value.name), CellValue::Text(*command), CellValue::Text(startup.shown),
                                 written};
      rows.AddRow(cells);
    }
  }
  return ReadOutcome::kRead;
}

}  // namespace tmr
