#include "readers/FolderTraceSource.h"

#include <windows.h>

#include <algorithm>
#include <initializer_list>

#include "core/HiveFormat.h"
#include "core/HiveRules.h"
#include "core/OsVersionMap.h"
#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/SharedFile.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

// The registry keeps a hive file below 2 GiB (cell offsets are 31 bits); a
// larger file is no hive and is not read.
constexpr uint64_t kMaxHiveBytes = uint64_t{1} << 31;

constexpr char kVersionKey[] = "Microsoft\\Windows NT\\CurrentVersion";
constexpr char kProfileListKey[] = "Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char kComputerNameKey[] = "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";

std::string Join(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += '\\';
  path += name;
  return path;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }

bool IsFolder(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string LastName(std::string_view path) {
  const size_t separator = path.find_last_of('\\');
  return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

// The whole file read at once, sharing it with whoever has it open (a
// system that mounted the image, a copy still being written): the hive
// reader works on these bytes, and the file is let go before it starts.
std::vector<uint8_t> ReadHiveFile(const std::string& path) {
  SharedFileReader reader;
  if (!reader.Open(path)) return {};
  const uint64_t length = reader.Length();
  if (length > kMaxHiveBytes) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(length));
  bytes.resize(reader.ReadAt(0, reinterpret_cast<char*>(bytes.data()), bytes.size()));
  return bytes;
}

// A clean hive needs no log; a dirty one (sequence numbers apart, or a torn
// base block) is brought up to date from the .LOG1 and .LOG2 beside it.
bool NeedsLogs(const std::vector<uint8_t>& primary) {
  if (primary.size() < 512) return false;
  return !hive::BaseBlockSound(primary) ||
         hive::U32(primary, hive::kPrimarySequenceAt) != hive::U32(primary, hive::kSecondarySequenceAt);
}

std::optional<RegistryHive> LoadHive(const std::string& path) {
  std::vector<uint8_t> primary = ReadHiveFile(path);
  if (primary.empty()) return std::nullopt;
  std::vector<uint8_t> log1;
  std::vector<uint8_t> log2;
  if (NeedsLogs(primary)) {
    log1 = ReadHiveFile(path + ".LOG1");
    log2 = ReadHiveFile(path + ".LOG2");
  }
  return RegistryHive::Open(std::move(primary), std::move(log1), std::move(log2));
}

std::string Normalized(std::string_view folder) {
  std::string path(folder);
  std::replace(path.begin(), path.end(), '/', '\\');
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::vector<std::string> ListUsers(const std::string& volume) {
  std::vector<std::string> users;
  const std::string folder = Join(volume, "Users");
  WIN32_FIND_DATAW entry{};
  UniqueFindHandle find(FindFirstFileW(Widen(Join(folder, "*")).c_str(), &entry));
  if (!find) return users;
  do {
    // "Default User" and "All Users" are junctions to other profiles.
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      continue;
    }
    const std::string name = Narrow(entry.cFileName);
    if (name == "." || name == "..") continue;
    if (IsFile(Join(Join(folder, name), "NTUSER.DAT"))) users.push_back(name);
  } while (FindNextFileW(find.get(), &entry));
  std::sort(users.begin(), users.end(),
            [](const std::string& a, const std::string& b) { return ToLowerAscii(a) < ToLowerAscii(b); });
  return users;
}

}  // namespace

TraceFolderLayout DescribeTraceFolder(std::string_view folder) {
  TraceFolderLayout layout;
  layout.folder = Normalized(folder);
  if (layout.folder.empty()) return layout;
  if (IsFolder(Join(layout.folder, "Users")) || IsFolder(Join(layout.folder, "Windows\\System32\\config"))) {
    layout.kind = TraceFolderLayout::Kind::kVolume;
    layout.users = ListUsers(layout.folder);
  } else if (IsFile(Join(layout.folder, "NTUSER.DAT"))) {
    layout.kind = TraceFolderLayout::Kind::kProfile;
  }
  return layout;
}

FolderTraceSource::FolderTraceSource(const TraceFolderLayout& layout, std::string_view user) {
  // A drive's root reads as one ("D:\"), not as the bare letter.
  name_ = layout.folder.size() == 2 && layout.folder[1] == ':' ? layout.folder + "\\" : layout.folder;
  if (layout.kind == TraceFolderLayout::Kind::kProfile) {
    profile_ = layout.folder;
    user_ = LastName(layout.folder);
  } else if (layout.kind == TraceFolderLayout::Kind::kVolume) {
    volume_ = layout.folder;
    for (const std::string& known : layout.users) {
      if (ToLowerAscii(known) == ToLowerAscii(user)) {
        user_ = known;
        profile_ = Join(Join(volume_, "Users"), known);
      }
    }
  }
  if (!profile_.empty()) {
    hives_[kUserHive].path = Join(profile_, "NTUSER.DAT");
    hives_[kClassesHive].path = Join(profile_, "AppData\\Local\\Microsoft\\Windows\\UsrClass.dat");
  }
  if (!volume_.empty()) {
    hives_[kSystemHive].path = Join(volume_, "Windows\\System32\\config\\SYSTEM");
    hives_[kSoftwareHive].path = Join(volume_, "Windows\\System32\\config\\SOFTWARE");
  }
}

const HiveRules& FolderTraceSource::HiveOf(Hive which) const {
  LoadedHive& loaded = hives_[which];
  if (loaded.path.empty()) return noHive_;
  std::call_once(loaded.once, [&loaded] {
    loaded.hive = LoadHive(loaded.path);
    loaded.rules = std::make_unique<HiveRules>(loaded.hive ? &*loaded.hive : nullptr);
  });
  return *loaded.rules;
}

std::pair<const HiveRules*, std::string> FolderTraceSource::Locate(TraceRoot root, std::string_view key) const {
  switch (root) {
    case TraceRoot::kUser: return {&HiveOf(kUserHive), std::string(key)};
    case TraceRoot::kUserClasses: return {&HiveOf(kClassesHive), std::string(key)};
    case TraceRoot::kMachine: break;
  }
  const HiveRules& system = HiveOf(kSystemHive);  // loaded from here on
  const std::optional<RegistryHive>& systemHive = hives_[kSystemHive].hive;
  MachineKey machine = ResolveMachineKey(key, CurrentControlSet(systemHive ? &*systemHive : nullptr));
  switch (machine.hive) {
    case MachineHive::kSystem: return {&system, std::move(machine.path)};
    case MachineHive::kSoftware: return {&HiveOf(kSoftwareHive), std::move(machine.path)};
    case MachineHive::kNone: break;
  }
  return {&noHive_, {}};
}

std::optional<std::string> FolderTraceSource::Text(TraceRoot root, std::string_view key, std::string_view name) const {
  const auto [rules, path] = Locate(root, key);
  return rules->Text(path, name);
}

std::optional<std::vector<std::string>> FolderTraceSource::ValueNames(TraceRoot root, std::string_view key) const {
  const auto [rules, path] = Locate(root, key);
  return rules->ValueNames(path);
}

std::vector<std::string> FolderTraceSource::SubKeys(TraceRoot root, std::string_view key) const {
  const auto [rules, path] = Locate(root, key);
  return rules->SubKeys(path);
}

std::vector<uint8_t> FolderTraceSource::Bytes(TraceRoot root, std::string_view key, std::string_view name) const {
  const auto [rules, path] = Locate(root, key);
  return rules->Bytes(path, name);
}

std::optional<std::vector<TraceValue>> FolderTraceSource::Values(TraceRoot root, std::string_view key) const {
  const auto [rules, path] = Locate(root, key);
  std::optional<std::vector<HiveValue>> stored = rules->Values(path);
  if (!stored) return std::nullopt;
  std::vector<TraceValue> values;
  values.reserve(stored->size());
  for (HiveValue& value : *stored) values.push_back({std::move(value.name), value.type, std::move(value.data)});
  return values;
}

std::optional<uint64_t> FolderTraceSource::KeyLastWritten(TraceRoot root, std::string_view key) const {
  const auto [rules, path] = Locate(root, key);
  return rules->KeyLastWritten(path);
}

std::string FolderTraceSource::Folder(TraceFolder folder) const {
  if (profile_.empty()) return {};
  const std::string roaming = Join(profile_, "AppData\\Roaming");
  const std::string local = Join(profile_, "AppData\\Local");
  // Windows 8.1 and later keep cookies and the cache in new folders; an
  // upgraded system may still hold the old ones, unused.
  auto firstThere = [](std::initializer_list<std::string> candidates) {
    for (const std::string& candidate : candidates) {
      if (IsFolder(candidate)) return candidate;
    }
    return std::string();
  };
  switch (folder) {
    case TraceFolder::kProfile: return profile_;
    case TraceFolder::kAppData: return roaming;
    case TraceFolder::kLocalAppData: return local;
    case TraceFolder::kRecent: return Join(roaming, "Microsoft\\Windows\\Recent");
    case TraceFolder::kCookies:
      return firstThere({Join(local, "Microsoft\\Windows\\INetCookies"), Join(roaming, "Microsoft\\Windows\\Cookies")});
    case TraceFolder::kHistory: return Join(local, "Microsoft\\Windows\\History");
    case TraceFolder::kCache:
      return firstThere(
          {Join(local, "Microsoft\\Windows\\INetCache"), Join(local, "Microsoft\\Windows\\Temporary Internet Files")});
  }
  return {};
}

std::vector<std::string> FolderTraceSource::FixedDriveRoots() const {
  if (volume_.empty()) return {};
  return {volume_ + "\\"};
}

std::string FolderTraceSource::UserSid() const {
  if (user_.empty()) return {};
  const HiveRules& software = HiveOf(kSoftwareHive);
  for (const std::string& sid : software.SubKeys(kProfileListKey)) {
    const std::optional<std::vector<HiveValue>> values = software.Values(Join(kProfileListKey, sid));
    for (const HiveValue& value : values.value_or(std::vector<HiveValue>{})) {
      if (ToLowerAscii(value.name) != "profileimagepath") continue;
      // Stored to be expanded ("%SystemDrive%\Users\name"), which only the
      // last name of matters here.
      if (ToLowerAscii(LastName(Utf16DataText(value.data))) == ToLowerAscii(user_)) return sid;
    }
  }
  return {};
}

std::string FolderTraceSource::ComputerName() const {
  return Text(TraceRoot::kMachine, kComputerNameKey, "ComputerName").value_or("");
}

std::string FolderTraceSource::WindowsFamily() const {
  const HiveRules& software = HiveOf(kSoftwareHive);
  const std::optional<std::string> version = software.Text(kVersionKey, "CurrentVersion");
  const std::optional<std::string> product = software.Text(kVersionKey, "ProductName");
  // The profile layout read (AppData\Roaming, AppData\Local) is that of
  // Vista and later, so a folder that does not say otherwise is one.
  if (!version && !product) return "Vista";
  return WindowsFamilyOfInstalledVersion(version.value_or(""), product.value_or(""));
}

}  // namespace tmr
