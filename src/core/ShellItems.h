// Shell items and item ID lists: how the shell names a place in its
// namespace (a folder GUID, a drive, one path element with its dates, a
// network share, a URI). The same decoder serves the ID list inside a
// shortcut, each ShellBags value (one item) and each OpenSavePidlMRU value
// (a list). The structures are undocumented by their maker; the layouts
// followed here are the published reverse-engineered ones. An item of a
// kind not known here keeps its class byte and gets no name, rather than
// whatever text its bytes happen to hold.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/BinaryFields.h"

namespace tmr {

enum class ShellItemKind {
  kUnknown,
  kRootFolder,       // 0x1F: a shell folder by GUID ("My Computer", "Desktop"...)
  kVolume,           // 0x20..0x2F: "C:\", or a folder by GUID under My Computer
  kFileEntry,        // 0x30..0x3F, and the 0x74 delegate that wraps one
  kNetworkLocation,  // 0x40..0x4F: "\\server", "\\server\share", a workgroup
  kUri,              // 0x61
  kControlPanel,     // 0x71: a Control Panel item by GUID
  kControlPanelCategory,
  kKnownFolder,  // a property view item naming a known folder by GUID
};

struct ShellItem {
  uint8_t classType = 0;
  ShellItemKind kind = ShellItemKind::kUnknown;
  std::string name;       // what the path shows: the long name where there is one
  std::string shortName;  // file entries: the 8.3 (or primary) name
  // FILETIMEs (UTC); 0 = not stored. A file entry stores its times as FAT
  // date and time, so they have two-second steps.
  uint64_t modified = 0;
  uint64_t created = 0;
  uint64_t accessed = 0;
  uint32_t fileSize = 0;      // file entries; 32 bits only, as stored
  uint16_t attributes = 0;    // file entries: the low 16 bits of the file attributes
  uint64_t mftReference = 0;  // file entries on NTFS: entry number | sequence << 48; 0 = none
  // Of root folders, GUID volumes, control panel and known folders, as
  // stored (GuidText writes "{...}"); the null GUID for the others.
  GuidBytes guid{};
};

// One item: its two size bytes, then its data (the registry value of a
// ShellBags entry is exactly this). nullopt when the size field is less
// than 3 or claims more bytes than there are.
std::optional<ShellItem> DecodeShellItem(std::span<const uint8_t> item);

// The items of a list up to its zero terminator or its end. An item whose
// size runs past the end ends the list; the items before it are kept.
std::vector<ShellItem> DecodeIdList(std::span<const uint8_t> list);

// The items as a Windows path: "C:\Users\x\file.txt". An item naming a
// drive ("C:\") or a UNC path ("\\server\share") starts the path afresh, so
// the "My Computer" or "Network" before it is not shown; a URI starts it
// afresh too, and what follows a URI is joined with "/". Items without a
// name are left out.
std::string ShellItemPath(std::span<const ShellItem> items);

// The display name of a well-known shell folder GUID ("{...}" as GuidText
// writes it); "" for one not in the table.
std::string_view ShellFolderName(std::string_view guid);

}  // namespace tmr
