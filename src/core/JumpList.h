// Jump lists: the recent and pinned items the taskbar keeps per program.
// An automaticDestinations-ms file is a compound file holding a "DestList"
// stream (one entry per item: when it was last opened, whether it is
// pinned, the target path) and one shell link stream per item, named by
// the entry's number in lower-case hex. A customDestinations-ms file holds
// the program's own categories and tasks as shell links one after another.
// The file names start with the AppID, a hash of the program's path.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/BinaryFields.h"
#include "core/ShellLink.h"

namespace tmr {

struct DestListEntry {
  uint32_t entryNumber = 0;  // names the entry's link stream
  uint64_t lastOpened = 0;   // FILETIME, UTC
  bool pinned = false;
  int32_t pinPosition = -1;  // place among the pinned entries; -1 when not pinned
  uint32_t accessCount = 0;  // DestList version 2 and later; 0 in version 1, which does not store it
  std::string hostname;      // NetBIOS name of the machine the target was on
  // The target: a file system path, or a shell parsing name such as
  // "::{031E4825-7B94-4DC3-B131-E946B44C8DD5}\Pictures.library-ms".
  std::string path;
  // The distributed link tracking ("droid") object ids of the target's
  // volume and file, now and at their birth, as stored (GuidText writes
  // them as "{GUID}").
  GuidBytes volumeId{};
  GuidBytes fileId{};
  GuidBytes birthVolumeId{};
  GuidBytes birthFileId{};
};

struct DestList {
  uint32_t version = 0;  // 1: Windows 7 and 8; 3 and 4: Windows 10 and 11
  uint32_t declaredEntries = 0;
  uint32_t pinnedEntries = 0;          // as the header counts them
  std::vector<DestListEntry> entries;  // stream order, most recently used first
};

// nullopt when the stream is shorter than its header. Entries are read
// while they fit and the header's count allows; an unknown version gives
// none (its entry layout is not known).
std::optional<DestList> ParseDestList(std::span<const uint8_t> stream);

struct AutomaticDestination {
  DestListEntry entry;
  std::optional<ShellLinkInfo> link;  // the entry's link stream; nullopt when missing or not a link
};

struct AutomaticDestinations {
  uint32_t version = 0;  // of the DestList
  std::vector<AutomaticDestination> entries;
};

// nullopt unless the bytes are a compound file with a DestList stream.
std::optional<AutomaticDestinations> ReadAutomaticDestinations(std::span<const uint8_t> bytes);

// The stream name of an entry number: lower-case hex without leading zeros.
std::string DestListStreamName(uint32_t entryNumber);

inline constexpr uint32_t kCustomCategory = 0;  // a category the program named
inline constexpr uint32_t kKnownCategory = 1;   // the shell's frequent or recent list (no links stored)
inline constexpr uint32_t kUserTasks = 2;       // the program's tasks

struct CustomDestination {
  uint32_t categoryType = kCustomCategory;
  std::string category;  // the name of a custom category; "" otherwise
  ShellLinkInfo link;
};

// The links of every category in file order, up to the first damage: a
// header or count that does not fit, an entry that is not a shell link (its
// size is not known, so nothing after it can be found), or a link that ends
// before its terminal block.
std::vector<CustomDestination> ReadCustomDestinations(std::span<const uint8_t> bytes);

// The program of a well-known AppID ("1b4dd67f29cb1962" -> "Windows
// Explorer"), any case; "" for one not in the table.
std::string_view ApplicationOfAppId(std::string_view appId);

}  // namespace tmr
