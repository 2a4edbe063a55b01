// Shell links (.lnk files, and the links inside jump lists), read as
// MS-SHLLINK lays them out: the header with the target's times and size,
// the target's ID list, the LinkInfo with its local or network path, the
// counted strings, and the extra data blocks. A link whose header is whole
// is returned even when a later part is damaged; what could not be read
// stays empty and `complete` is false.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/ShellItems.h"

namespace tmr {

// The LinkFlags this reader acts on.
inline constexpr uint32_t kLinkHasIdList = 0x00000001;
inline constexpr uint32_t kLinkHasLinkInfo = 0x00000002;
inline constexpr uint32_t kLinkHasName = 0x00000004;
inline constexpr uint32_t kLinkHasRelativePath = 0x00000008;
inline constexpr uint32_t kLinkHasWorkingDir = 0x00000010;
inline constexpr uint32_t kLinkHasArguments = 0x00000020;
inline constexpr uint32_t kLinkHasIconLocation = 0x00000040;
inline constexpr uint32_t kLinkIsUnicode = 0x00000080;

inline constexpr size_t kLinkHeaderSize = 0x4C;

struct ShellLinkInfo {
  uint32_t flags = 0;       // LinkFlags
  uint32_t attributes = 0;  // the target's FILE_ATTRIBUTE_* when the link was saved
  // The target's FILETIMEs (UTC) when the link was saved; 0 = not stored.
  uint64_t created = 0;
  uint64_t accessed = 0;
  uint64_t written = 0;
  uint32_t fileSize = 0;  // the target's size, low 32 bits
  int32_t iconIndex = 0;
  uint32_t showCommand = 0;
  uint16_t hotKey = 0;

  std::vector<ShellItem> idList;

  // LinkInfo. Each text is the Unicode form where the link holds one,
  // otherwise the ANSI form.
  bool hasVolume = false;
  uint32_t driveType = 0;  // DRIVE_FIXED = 3, DRIVE_REMOVABLE = 2, ...
  uint32_t driveSerial = 0;
  std::string volumeLabel;
  std::string localBasePath;
  std::string netName;     // "\\server\share"
  std::string deviceName;  // "Z:"
  std::string commonPathSuffix;

  // StringData.
  std::string name;  // the description
  std::string relativePath;
  std::string workingDir;
  std::string arguments;
  std::string iconLocation;

  // ExtraData.
  std::string environmentTarget;  // the target with %VARIABLES%, e.g. "%windir%\system32\x.exe"
  std::string machineId;          // NetBIOS name of the machine the target was on (tracker block)
  GuidBytes knownFolder{};        // the known folder the target lies in; the null GUID for none

  size_t size = 0;        // bytes the link took, up to its terminal block
  bool complete = false;  // everything up to the terminal block was read

  // The target as a path: LinkInfo's local path (or network share) joined
  // with its common suffix; else the ID list's path; else the environment
  // block's target. "" when the link holds none of them.
  std::string TargetPath() const;
};

// nullopt unless the bytes start with a link header (size 0x4C and the
// link CLSID). Bytes after the link are ignored: see `size`.
std::optional<ShellLinkInfo> ParseShellLink(std::span<const uint8_t> bytes);

// The header signature: the header size and the link CLSID, 20 bytes.
bool StartsWithShellLinkHeader(std::span<const uint8_t> bytes);

}  // namespace tmr
