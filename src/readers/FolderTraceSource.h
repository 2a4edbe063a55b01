// Another PC's traces in a folder: the root of its Windows volume (a mounted
// image; it holds Users\ and Windows\System32\config\) or one user's
// profile folder copied off it (it holds NTUSER.DAT). The registry comes
// from the hive files there, read into memory with their transaction logs
// and never written; the user's folders are those of the profile's own
// layout, whatever paths the hives name.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/HiveRules.h"
#include "core/RegistryHive.h"
#include "readers/TraceSource.h"

namespace tmr {

struct TraceFolderLayout {
  enum class Kind { kNotTraces, kVolume, kProfile };
  Kind kind = Kind::kNotTraces;
  // As given, with '\' separators and no trailing one ("D:" for a drive).
  std::string folder;
  // Of a volume: the folders under Users that hold an NTUSER.DAT, by name,
  // letter case ignored.
  std::vector<std::string> users;
};

// What the folder holds; nothing is opened but folder listings.
TraceFolderLayout DescribeTraceFolder(std::string_view folder);

class FolderTraceSource final : public TraceSource {
 public:
  // user names one of a volume's users ("" or an unknown name: none, so
  // only the machine's traces are read); a profile folder is its own user.
  FolderTraceSource(const TraceFolderLayout& layout, std::string_view user);
  FolderTraceSource(const FolderTraceSource&) = delete;
  FolderTraceSource& operator=(const FolderTraceSource&) = delete;

  // The profile folder read, "" when none.
  const std::string& ProfileFolder() const { return profile_; }

  std::string Name() const override { return name_; }
  bool Live() const override { return false; }

  std::optional<std::string> Text(TraceRoot root, std::string_view key, std::string_view name) const override;
  std::optional<std::vector<std::string>> ValueNames(TraceRoot root, std::string_view key) const override;
  std::vector<std::string> SubKeys(TraceRoot root, std::string_view key) const override;
  std::vector<uint8_t> Bytes(TraceRoot root, std::string_view key, std::string_view name) const override;
  std::optional<std::vector<TraceValue>> Values(TraceRoot root, std::string_view key) const override;
  std::optional<uint64_t> KeyLastWritten(TraceRoot root, std::string_view key) const override;

  std::string Folder(TraceFolder folder) const override;
  std::vector<std::string> FixedDriveRoots() const override;
  std::string UserSid() const override;
  std::string ComputerName() const override;
  std::string UserName() const override { return user_; }
  std::string WindowsFamily() const override;

 private:
  enum Hive { kUserHive, kClassesHive, kSystemHive, kSoftwareHive, kHiveCount };
  struct LoadedHive {
    std::string path;  // "" when the layout has no such file
    std::once_flag once;
    std::optional<RegistryHive> hive;
    std::unique_ptr<HiveRules> rules;
  };

  // Opened on first use, then kept: readers ask for one value at a time.
  // A hive that is not there, or no hive, has no keys.
  const HiveRules& HiveOf(Hive which) const;
  // The hive and the path in it of a key as a reader names it.
  std::pair<const HiveRules*, std::string> Locate(TraceRoot root, std::string_view key) const;

  std::string name_;
  std::string volume_;   // "" for a profile folder alone
  std::string profile_;  // "" when there is no user
  std::string user_;
  mutable LoadedHive hives_[kHiveCount];
  const HiveRules noHive_{nullptr};
};

}  // namespace tmr
