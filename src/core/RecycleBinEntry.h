// The metadata file the Recycle Bin keeps next to each deleted item
// (Vista and later: "$I" plus six characters plus the original extension,
// beside the "$R" file that holds the data itself).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tmr {

struct RecycleBinEntry {
  uint64_t formatVersion = 0;  // 1 up to Windows 8.1, 2 from Windows 10 on
  uint64_t originalSize = 0;   // bytes; for a folder, of all it held
  uint64_t deletionTime = 0;   // FILETIME, UTC
  std::string originalPath;    // UTF-8
};

// The entry a $I file's bytes hold. Version 1 stores the path in a fixed
// field of 260 UTF-16 units; version 2 a character count, then the path.
// nullopt for any other version, a file too short for its version's fields,
// or a count beyond what a Windows path can hold. The path ends at its
// first NUL; an unpaired surrogate in it becomes U+FFFD.
std::optional<RecycleBinEntry> DecodeRecycleBinEntry(std::string_view bytes);

// The name of the $R file that belongs to a $I file: "$IABC123.jpg" gives
// "$RABC123.jpg". A path may come along ("C:\$Recycle.Bin\S-1-...\$I...")
// and is kept. "" for a name that is no $I name.
std::string RecycleBinDataName(std::string_view metadataName);

}  // namespace tmr
