#include "core/ShellItems.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/BinaryFields.h"

namespace tmr {
namespace {

constexpr uint32_t kFileEntryExtension = 0xBEEF0004;
constexpr uint32_t kKnownFolderView = 0x23FEBBEE;
constexpr std::array<uint32_t, 5> kPropertyViewSignatures{kKnownFolderView, 0x23A3DFD5, 0x10141981, 0x3B93AFBB,
                                                          0xBEEBEE00};
constexpr uint32_t kControlPanelCategorySignature = 0x39DE2184;
constexpr uint32_t kDelegateFileSignature = 0x46534643;  // "CFSF"
constexpr size_t kRootFolderSize = 20;
constexpr size_t kControlPanelSize = 30;

struct FolderName {
  std::string_view guid;
  std::string_view name;
};

// Shell folders that root an ID list or sit under My Computer, and the
// known folders that property view items name. The newer "This PC" folders
// of Windows 10 have GUIDs of their own but show the same names.
constexpr std::array<FolderName, 34> kFolderNames{{
    {"{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "My Computer"},
    {"{450D8FBA-AD25-11D0-98A8-0800361B1103}", "My Documents"},
    {"{208D2C60-3AEA-1069-A2D7-08002B30309D}", "My Network Places"},
    {"{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}", "Network"},
    {"{645FF040-5081-101B-9F08-00AA002F954E}", "Recycle Bin"},
    {"{871C5380-42A0-1069-A2EA-08002B30309D}", "Internet Explorer"},
    {"{21EC2020-3AEA-1069-A2DD-08002B30309D}", "Control Panel"},
    {"{26EE0668-A00A-44D7-9371-BEB064C98683}", "Control Panel"},
    {"{2227A280-3AEA-1069-A2DE-08002B30309D}", "Printers"},
    {"{59031A47-3F72-44A7-89C5-5595FE6B30EE}", "Users Files"},
    {"{031E4825-7B94-4DC3-B131-E946B44C8DD5}", "Libraries"},
    {"{679F85CB-0220-4080-B29B-5540CC05AAB6}", "Quick access"},
    {"{F874310E-B6B7-47DC-BC84-B9E6B38F5903}", "Home"},
    {"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}", "Desktop"},
    {"{FDD39AD0-238F-46AF-ADB4-6C85480369C7}", "Documents"},
    {"{D3162B92-9365-467A-956B-92703ACA08AF}", "Documents"},
    {"{374DE290-123F-4565-9164-39C4925E467B}", "Downloads"},
    {"{088E3905-0323-4B02-9826-5D99428E115F}", "Downloads"},
    {"{4BD8D571-6D19-48D3-BE97-422220080E43}", "Music"},
    {"{3DFDF296-DBEC-4FB4-81D1-6A3438BCF4DE}", "Music"},
    {"{1CF1260C-4DD0-4EBB-811F-33C572699FDE}", "My Music"},
    {"{33E28130-4E1E-4676-835A-98395C3BC3BB}", "Pictures"},
    {"{24AD3AD4-A569-4530-98E1-AB02F9417AA8}", "Pictures"},
    {"{3ADD1653-EB32-4CB0-BBD7-DFA0ABB5ACCA}", "My Pictures"},
    {"{18989B1D-99B5-455B-841C-AB7C74E4DDFC}", "Videos"},
    {"{F86FA3AB-70D2-4FC7-9C99-FCBF05467F3A}", "Videos"},
    {"{A0953C92-50DC-43BF-BE83-3742FED03C9C}", "My Videos"},
    {"{1777F761-68AD-4D8A-87BD-30B759FA33DD}", "Favorites"},
    {"{AE50C081-EBD2-438A-8655-8A092E34987A}", "Recent Items"},
    {"{0AC0837C-BBF8-452A-850D-79D08E667CA7}", "Computer"},
    // The libraries under "Libraries".
    {"{7B0DB17D-9CD2-4A93-9733-46CC89022E7C}", "Documents"},
    {"{2112AB0A-C86A-4FFE-A368-0DE96E47012E}", "Music"},
    {"{A990AE9F-A03B-4E80-94BC-9912D7504104}", "Pictures"},
    {"{491E922F-5643-4AF4-A7EB-4E7A138D8174}", "Videos"},
}};

// The categories of the category view, by the number the item stores.
constexpr std::array<std::string_view, 12> kControlPanelCategories{{
    "All Control Panel Items",
    "Appearance and Personalization",
    "Hardware and Sound",
    "Network and Internet",
    "Sounds, Speech, and Audio Devices",
    "System and Security",
    "Clock, Language, and Region",
    "Ease of Access",
    "Programs",
    "User Accounts",
    "Security Center",
    "Mobile PC",
}};

// The folders by their GUIDs' bytes, made once from the table's texts: a
// jump list's links name thousands of them, and comparing 16 bytes is
// cheaper than writing and comparing texts.
std::string_view FolderNameOf(const GuidBytes& guid) {
  static const std::vector<std::pair<GuidBytes, std::string_view>> kByBytes = [] {
    std::vector<std::pair<GuidBytes, std::string_view>> table;
    for (const FolderName& folder : kFolderNames) table.emplace_back(ParseGuidText(folder.guid).value(), folder.name);
    return table;
  }();
  for (const auto& [bytes, name] : kByBytes) {
    if (bytes == guid) return name;
  }
  return "";
}

void NameFromGuid(ShellItem& item, const ByteRange& bytes, size_t at) {
  if (!bytes.Has(at, 16)) return;
  item.guid = GuidBytesAt(bytes, at);
  item.name = std::string(FolderNameOf(item.guid));
}

// The long name, the other two times and the MFT reference of a file entry
// (the 0xBEEF0004 block at `at`). Newer versions put more fields before the
// long name, so where the name lies depends on the version.
void ReadFileEntryExtension(ShellItem& item, const ByteRange& bytes, size_t at) {
  const uint16_t size = bytes.U16(at);
  if (size < 20 || !bytes.Has(at, size)) return;
  const ByteRange block = bytes.Sub(at, size);
  const uint16_t version = block.U16(2);
  item.created = FatTimeToFileTime(block.U16(8), block.U16(10));
  item.accessed = FatTimeToFileTime(block.U16(12), block.U16(14));
  if (version >= 7) item.mftReference = block.U64(20);
  size_t nameAt = 0;
  if (version >= 9) {
    nameAt = 46;
  } else if (version == 8) {
    nameAt = 42;
  } else if (version == 7) {
    nameAt = 38;
  } else if (version >= 3) {
    nameAt = 20;
  }
  if (nameAt == 0) return;
  // The block ends in the two bytes of its own offset; the name stops there.
  const TextField longName = Utf16Field(block.Sub(0, size - 2), nameAt, size);
  if (!longName.text.empty()) item.name = longName.text;
}

// Every extension block's signature is 0xBEEF in its high half.
bool IsExtension(const ByteRange& bytes, size_t at) {
  return at >= 4 && bytes.Has(at, 8) && (bytes.U32(at + 4) >> 16) == 0xBEEF;
}

bool IsFileEntryExtension(const ByteRange& bytes, size_t at) {
  return IsExtension(bytes, at) && bytes.U32(at + 4) == kFileEntryExtension;
}

bool IsPrintable(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return !text.empty();
}

// The fields shared by a file entry and the file entry inside a 0x74
// delegate: `base` is where the entry's size field is (the delegate's sub
// entry has one that counts differently, so it is not read), `end` where its
// own data ends. Returns where the primary name ended.
size_t ReadFileEntryFields(ShellItem& item, const ByteRange& bytes, size_t base, size_t end, bool unicode) {
  item.kind = ShellItemKind::kFileEntry;
  item.fileSize = bytes.U32(base + 4);
  item.modified = FatTimeToFileTime(bytes.U16(base + 8), bytes.U16(base + 10));
  item.attributes = bytes.U16(base + 12);
  const size_t nameAt = base + 14;
  const ByteRange data = bytes.Sub(0, end);
  const TextField primary = unicode ? Utf16Field(data, nameAt, end) : AnsiField(data, nameAt, end);
  item.name = primary.text;
  item.shortName = primary.text;
  return nameAt + primary.bytes;
}

// The item's last two bytes hold the offset of its first extension block
// (from Windows XP on); before XP an ANSI entry holds its short name as a
// second text after the first, which is then the long name.
void ReadFileEntry(ShellItem& item, const ByteRange& bytes) {
  const bool unicode = (item.classType & 0x04) != 0;
  const size_t nameEnd = ReadFileEntryFields(item, bytes, 0, bytes.size(), unicode);
  const size_t trailer = bytes.size() >= 2 ? bytes.U16(bytes.size() - 2) : 0;
  const size_t aligned = nameEnd + (nameEnd & 1);
  if (IsFileEntryExtension(bytes, trailer)) {
    ReadFileEntryExtension(item, bytes, trailer);
  } else if (IsFileEntryExtension(bytes, aligned)) {
    ReadFileEntryExtension(item, bytes, aligned);
  } else if (!unicode && !IsExtension(bytes, trailer) && !IsExtension(bytes, aligned)) {
    const TextField secondary = AnsiField(bytes, nameEnd, bytes.size());
    if (secondary.terminated && IsPrintable(secondary.text)) item.shortName = secondary.text;
  }
}

// A 0x74 item wraps a file entry ("CFSF") before the delegate's two GUIDs;
// its extension block comes after them and the trailer points at it.
void ReadDelegateFileEntry(ShellItem& item, const ByteRange& bytes) {
  const size_t innerEnd = 6 + static_cast<size_t>(bytes.U16(4));
  if (bytes.U32(6) != kDelegateFileSignature || innerEnd > bytes.size()) return;
  ReadFileEntryFields(item, bytes, 10, innerEnd, false);
  const size_t trailer = bytes.U16(bytes.size() - 2);
  if (trailer >= innerEnd && IsFileEntryExtension(bytes, trailer)) ReadFileEntryExtension(item, bytes, trailer);
}

void ReadNetworkLocation(ShellItem& item, const ByteRange& bytes) {
  item.kind = ShellItemKind::kNetworkLocation;
  item.name = AnsiField(bytes, 5, bytes.size()).text;
}

// The URI follows an optional data block whose first field is its size;
// some writers put two zero bytes before the text as well, and no URI
// starts with a NUL, so leading zero units are skipped.
void ReadUri(ShellItem& item, const ByteRange& bytes) {
  item.kind = ShellItemKind::kUri;
  const bool unicode = (bytes.U8(3) & 0x80) != 0;
  const size_t dataSize = bytes.U16(4);
  size_t at = dataSize > 2 ? 4 + dataSize : 6;
  const size_t unit = unicode ? 2 : 1;
  for (int skipped = 0; skipped < 2 && bytes.Has(at, unit) && (unicode ? bytes.U16(at) : bytes.U8(at)) == 0;
       ++skipped) {
    at += unit;
  }
  item.name = unicode ? Utf16Field(bytes, at, bytes.size()).text : AnsiField(bytes, at, bytes.size()).text;
}

// Items told apart by a signature rather than by the class byte. Property
// view items (class 0x00, or 0x1F where they stand in for a root folder)
// carry a data size at 4 and a signature at 6; only the known folder one
// names something this reader can show.
bool ReadSignedItem(ShellItem& item, const ByteRange& bytes) {
  const uint8_t type = item.classType;
  if (type < 0x10 && bytes.U32(4) == kControlPanelCategorySignature && bytes.size() >= 12) {
    item.kind = ShellItemKind::kControlPanelCategory;
    const uint32_t category = bytes.U32(8);
    if (category < kControlPanelCategories.size()) item.name = std::string(kControlPanelCategories[category]);
    return true;
  }
  if (type != 0x00 && type != 0x1F) return false;
  const uint32_t signature = bytes.U32(6);
  if (signature == kKnownFolderView && bytes.U16(12) == 16 && bytes.Has(14, 16)) {
    item.kind = ShellItemKind::kKnownFolder;
    NameFromGuid(item, bytes, 14);
    return true;
  }
  return std::find(kPropertyViewSignatures.begin(), kPropertyViewSignatures.end(), signature) !=
         kPropertyViewSignatures.end();
}

}  // namespace

std::string_view ShellFolderName(std::string_view guid) {
  const std::optional<GuidBytes> bytes = ParseGuidText(guid);
  return bytes ? FolderNameOf(*bytes) : "";
}

std::optional<ShellItem> DecodeShellItem(std::span<const uint8_t> raw) {
  const ByteRange whole(raw);
  const size_t size = whole.U16(0);
  if (size < 3 || size > raw.size()) return std::nullopt;
  const ByteRange bytes = whole.Sub(0, size);
  ShellItem item;
  item.classType = bytes.U8(2);
  if (ReadSignedItem(item, bytes)) return item;

  const uint8_t type = item.classType;
  if (type == 0x1F) {
    if (size >= kRootFolderSize) {
      item.kind = ShellItemKind::kRootFolder;
      NameFromGuid(item, bytes, 4);
    }
  } else if ((type & 0x70) == 0x20) {
    item.kind = ShellItemKind::kVolume;
    if ((type & 0x01) != 0) {
      item.name = AnsiField(bytes, 3, 20).text;
    } else if (size >= kRootFolderSize) {
      NameFromGuid(item, bytes, 4);
    }
  } else if ((type & 0x70) == 0x30) {
    ReadFileEntry(item, bytes);
  } else if ((type & 0x70) == 0x40) {
    ReadNetworkLocation(item, bytes);
  } else if (type == 0x61) {
    ReadUri(item, bytes);
  } else if (type == 0x71) {
    if (size >= kControlPanelSize) {
      item.kind = ShellItemKind::kControlPanel;
      item.guid = GuidBytesAt(bytes, 14);
    }
  } else if (type == 0x74) {
    ReadDelegateFileEntry(item, bytes);
  }
  return item;
}

std::vector<ShellItem> DecodeIdList(std::span<const uint8_t> list) {
  std::vector<ShellItem> items;
  const ByteRange bytes(list);
  // The items counted by their sizes first, so the list is allocated once
  // (every shortcut of a jump list holds one).
  size_t count = 0;
  for (size_t at = 0; bytes.Has(at, 2) && bytes.U16(at) >= 3; at += bytes.U16(at)) ++count;
  items.reserve(count);
  size_t at = 0;
  while (bytes.Has(at, 2)) {
    const size_t size = bytes.U16(at);
    if (size == 0) break;
    std::optional<ShellItem> item = DecodeShellItem(list.subspan(at));
    if (!item) break;
    items.push_back(std::move(*item));
    at += size;
  }
  return items;
}

std::string ShellItemPath(std::span<const ShellItem> items) {
  std::string path;
  char separator = '\\';
  for (const ShellItem& item : items) {
    const std::string& name = item.name;
    if (name.empty()) continue;
    const bool drive = name.size() >= 2 && name[1] == ':';
    const bool unc = name.rfind("\\\\", 0) == 0;
    if (drive || unc || item.kind == ShellItemKind::kUri) {
      path = name;
      separator = item.kind == ShellItemKind::kUri ? '/' : '\\';
      continue;
    }
    if (!path.empty() && path.back() != separator) path.push_back(separator);
    path += name;
  }
  return path;
}

}  // namespace tmr
