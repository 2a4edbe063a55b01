#include "support/ShellFormatBuilder.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "core/CivilDate.h"

namespace tmr::test {
namespace {

constexpr uint32_t kFree = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSector = 0xFFFFFFFD;
constexpr uint32_t kDifatSector = 0xFFFFFFFC;
constexpr size_t kHeaderDifat = 109;
constexpr size_t kMiniSector = 64;
constexpr size_t kMiniCutoff = 4096;

size_t CeilDiv(size_t a, size_t b) { return (a + b - 1) / b; }

// The ANSI form of a test text: ASCII stays, anything else becomes '?', as a
// code page without the character would store it.
std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

void Chain(std::vector<uint32_t>& table, uint32_t start, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    table[start + i] = i + 1 < count ? static_cast<uint32_t>(start + i + 1) : kEndOfChain;
  }
}

}  // namespace

ByteWriter& ByteWriter::U8(uint32_t value) {
  bytes_.push_back(static_cast<uint8_t>(value));
  return *this;
}
ByteWriter& ByteWriter::U16(uint32_t value) { return U8(value).U8(value >> 8); }
ByteWriter& ByteWriter::U32(uint32_t value) { return U16(value).U16(value >> 16); }
ByteWriter& ByteWriter::U64(uint64_t value) {
  return U32(static_cast<uint32_t>(value)).U32(static_cast<uint32_t>(value >> 32));
}
ByteWriter& ByteWriter::Bytes(const ByteVector& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}
ByteWriter& ByteWriter::Ansi(std::string_view text, bool terminate) {
  for (char c : text) U8(static_cast<uint8_t>(c));
  return terminate ? U8(0) : *this;
}
ByteWriter& ByteWriter::Utf16(std::u16string_view text, bool terminate) {
  for (char16_t c : text) U16(c);
  return terminate ? U16(0) : *this;
}
ByteWriter& ByteWriter::Guid(std::string_view guid) {
  // "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}": the first three groups are
  // stored little-endian, the last two byte by byte.
  auto hex = [&](size_t at, size_t digits) {
    return static_cast<uint32_t>(std::strtoul(std::string(guid.substr(at, digits)).c_str(), nullptr, 16));
  };
  if (guid.size() != 38) throw std::invalid_argument("not a {GUID}");
  U32(hex(1, 8)).U16(hex(10, 4)).U16(hex(15, 4));
  U8(hex(20, 2)).U8(hex(22, 2));
  for (size_t i = 0; i < 6; ++i) U8(hex(25 + i * 2, 2));
  return *this;
}
ByteWriter& ByteWriter::Zeros(size_t count) {
  bytes_.resize(bytes_.size() + count, 0);
  return *this;
}
void ByteWriter::PutU16(size_t at, uint32_t value) {
  bytes_.at(at) = static_cast<uint8_t>(value);
  bytes_.at(at + 1) = static_cast<uint8_t>(value >> 8);
}
void ByteWriter::PutU32(size_t at, uint32_t value) {
  PutU16(at, value);
  PutU16(at + 2, value >> 16);
}

uint16_t FatDate(int year, int month, int day) {
  return static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}
uint16_t FatTime(int hour, int minute, int second) {
  return static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
}
uint64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second) {
  const int64_t days = DaysFromCivil({year, month, day}) + 134774;
  return static_cast<uint64_t>(days * 86400 + hour * 3600 + minute * 60 + second) * 10'000'000;
}

ByteVector RootFolderItem(std::string_view guid) {
  ByteWriter item;
  item.U16(20).U8(0x1F).U8(0x50).Guid(guid);
  return item.bytes();
}

ByteVector VolumeItem(std::string_view drive) {
  ByteWriter item;
  item.U16(25).U8(0x2F).Ansi(drive);
  item.Zeros(25 - item.size());
  return item.bytes();
}

ByteVector FileEntryItem(const FileEntryLayout& layout) {
  ByteWriter item;
  item.U16(0).U8(layout.classType).U8(0).U32(layout.fileSize).U16(layout.modifiedDate).U16(layout.modifiedTime);
  item.U16((layout.classType & 1) != 0 ? 0x10 : 0x20).Ansi(layout.primaryName);
  if (item.size() % 2 != 0) item.U8(0);
  const uint16_t version = layout.extensionVersion;
  if (version != 0) {
    const size_t at = item.size();
    item.U16(0).U16(version).U32(0xBEEF0004);
    item.U16(layout.createdDate).U16(layout.createdTime).U16(layout.accessedDate).U16(layout.accessedTime);
    item.U16(version >= 9 ? 0x2E : version == 8 ? 0x2A : version == 7 ? 0x26 : 0x14);
    if (version >= 7) item.U16(0).U64(layout.mftReference).U64(0);
    item.U16(0);  // no localized name
    if (version >= 9) item.U32(0);
    if (version >= 8) item.U32(0);
    item.Utf16(layout.longName).U16(static_cast<uint32_t>(at));
    item.PutU16(at, static_cast<uint32_t>(item.size() - at));
  }
  item.PutU16(0, static_cast<uint32_t>(item.size()));
  return item.bytes();
}

ByteVector NetworkItem(uint8_t classType, std::string_view location) {
  ByteWriter item;
  item.U16(0).U8(classType).U8(0).U8(0x01).Ansi(location).U16(0);
  item.PutU16(0, static_cast<uint32_t>(item.size()));
  return item.bytes();
}

ByteVector UriItem(std::u16string_view uri, uint16_t dataSize) {
  ByteWriter item;
  item.U16(0).U8(0x61).U8(0x80).U16(dataSize);
  if (dataSize > 2) {
    // Filler that is not text the URI could be taken from, then the two
    // zero bytes that precede the URI.
    for (size_t i = 2; i < dataSize; ++i) item.U8(0x41);
    item.U16(0);
  }
  item.Utf16(uri);
  item.PutU16(0, static_cast<uint32_t>(item.size()));
  return item.bytes();
}

ByteVector IdList(std::initializer_list<ByteVector> items) {
  ByteWriter list;
  for (const ByteVector& item : items) list.Bytes(item);
  list.U16(0);
  return list.bytes();
}

ByteVector BuildLink(const LinkLayout& layout) {
  const bool hasInfo = layout.localBasePath || layout.netName;
  uint32_t flags = (layout.idList ? 0x1u : 0u) | (hasInfo ? 0x2u : 0u) | (layout.unicodeStrings ? 0x80u : 0u);
  const std::optional<std::u16string>* strings[] = {&layout.name, &layout.relativePath, &layout.workingDir,
                                                    &layout.arguments, &layout.iconLocation};
  for (uint32_t i = 0; i < 5; ++i) {
    if (*strings[i]) flags |= 0x4u << i;
  }
  ByteWriter link;
  link.U32(0x4C).Guid("{00021401-0000-0000-C000-000000000046}").U32(flags).U32(layout.attributes);
  link.U64(layout.created).U64(layout.accessed).U64(layout.written).U32(layout.fileSize).U32(0).U32(1).U16(0).Zeros(10);
  if (layout.idList) link.U16(static_cast<uint32_t>(layout.idList->size())).Bytes(*layout.idList);
  if (hasInfo) {
    const size_t headerSize = layout.unicodeLinkInfo ? 0x24 : 0x1C;
    ByteWriter info;
    info.Zeros(headerSize);
    uint32_t infoFlags = 0;
    if (layout.localBasePath) {
      infoFlags |= 1;
      info.PutU32(12, static_cast<uint32_t>(info.size()));
      info.U32(0x11).U32(3).U32(layout.driveSerial).U32(0x10).U8(0);
      info.PutU32(16, static_cast<uint32_t>(info.size()));
      info.Ansi(Narrow(*layout.localBasePath));
    }
    if (layout.netName) {
      infoFlags |= 2;
      info.PutU32(20, static_cast<uint32_t>(info.size()));
      const size_t at = info.size();
      const uint32_t nameAt = layout.unicodeLinkInfo ? 0x1C : 0x14;
      info.U32(0).U32(0).U32(nameAt).U32(0).U32(0x20000);
      if (layout.unicodeLinkInfo) info.U32(0).U32(0);
      info.Ansi(Narrow(*layout.netName));
      if (layout.unicodeLinkInfo) {
        info.PutU32(at + 20, static_cast<uint32_t>(info.size() - at));
        info.Utf16(*layout.netName);
      }
      info.PutU32(at, static_cast<uint32_t>(info.size() - at));
    }
    info.PutU32(24, static_cast<uint32_t>(info.size()));
    info.Ansi(Narrow(layout.commonPathSuffix));
    if (layout.unicodeLinkInfo) {
      if (layout.localBasePath) {
        info.PutU32(28, static_cast<uint32_t>(info.size()));
        info.Utf16(*layout.localBasePath);
      }
      info.PutU32(32, static_cast<uint32_t>(info.size()));
      info.Utf16(layout.commonPathSuffix);
    }
    info.PutU32(0, static_cast<uint32_t>(info.size()));
    info.PutU32(4, static_cast<uint32_t>(headerSize));
    info.PutU32(8, infoFlags);
    link.Bytes(info.bytes());
  }
  for (const std::optional<std::u16string>* text : strings) {
    if (!*text) continue;
    link.U16(static_cast<uint32_t>((*text)->size()));
    if (layout.unicodeStrings) {
      link.Utf16(**text, false);
    } else {
      link.Ansi(Narrow(**text), false);
    }
  }
  if (layout.machineId) {
    const size_t at = link.size();
    link.U32(0x60).U32(0xA0000003).U32(0x58).U32(0).Ansi(*layout.machineId, false);
    link.Zeros(at + 0x60 - link.size());
  }
  link.U32(0);
  return link.bytes();
}

BuiltCompound BuildCompoundFile(const CompoundLayout& layout) {
  const size_t sectorSize = layout.majorVersion == 4 ? 4096 : 512;
  const size_t perSector = sectorSize / 4;
  BuiltCompound built;

  // The mini stream and its FAT first: their sizes decide the sector counts.
  std::vector<bool> inMini;
  ByteVector miniStream;
  std::vector<uint32_t> miniFat;
  std::vector<size_t> regularSectors;
  for (const BuiltStream& stream : layout.streams) {
    const bool mini = stream.data.size() < kMiniCutoff;
    inMini.push_back(mini);
    if (!mini) {
      regularSectors.push_back(CeilDiv(stream.data.size(), sectorSize));
      continue;
    }
    const size_t count = CeilDiv(stream.data.size(), kMiniSector);
    const auto start = static_cast<uint32_t>(miniFat.size());
    built.streamStart.push_back(count == 0 ? kEndOfChain : start);
    miniFat.resize(miniFat.size() + count);
    Chain(miniFat, start, count);
    miniStream.insert(miniStream.end(), stream.data.begin(), stream.data.end());
    miniStream.resize(miniFat.size() * kMiniSector, 0);
    regularSectors.push_back(0);
  }
  const size_t directorySectors = CeilDiv((layout.streams.size() + 1) * 128, sectorSize);
  const size_t miniFatSectors = CeilDiv(miniFat.size() * 4, sectorSize);
  const size_t miniStreamSectors = CeilDiv(miniStream.size(), sectorSize);
  size_t dataSectors = layout.padSectors + directorySectors + miniFatSectors + miniStreamSectors;
  for (size_t count : regularSectors) dataSectors += count;
  size_t fatSectors = 1, difatSectors = 0;
  while (true) {
    const size_t needFat = CeilDiv(fatSectors + difatSectors + dataSectors, perSector);
    const size_t needDifat = needFat > kHeaderDifat ? CeilDiv(needFat - kHeaderDifat, perSector - 1) : 0;
    if (needFat == fatSectors && needDifat == difatSectors) break;
    fatSectors = needFat;
    difatSectors = needDifat;
  }

  // Sector order: FAT, DIFAT, padding, directory, mini FAT, mini stream, streams.
  std::vector<uint32_t> fat(fatSectors * perSector, kFree);
  for (size_t i = 0; i < fatSectors; ++i) fat[i] = kFatSector;
  for (size_t i = 0; i < difatSectors; ++i) fat[fatSectors + i] = kDifatSector;
  auto next = static_cast<uint32_t>(fatSectors + difatSectors + layout.padSectors);
  const uint32_t directoryStart = next;
  Chain(fat, next, directorySectors);
  next += static_cast<uint32_t>(directorySectors);
  const uint32_t miniFatStart = miniFatSectors ? next : kEndOfChain;
  Chain(fat, next, miniFatSectors);
  next += static_cast<uint32_t>(miniFatSectors);
  const uint32_t miniStreamStart = miniStreamSectors ? next : kEndOfChain;
  Chain(fat, next, miniStreamSectors);
  next += static_cast<uint32_t>(miniStreamSectors);
  std::vector<uint32_t> starts;
  size_t miniIndex = 0;
  for (size_t i = 0; i < layout.streams.size(); ++i) {
    if (inMini[i]) {
      starts.push_back(built.streamStart[miniIndex++]);
      continue;
    }
    starts.push_back(regularSectors[i] ? next : kEndOfChain);
    Chain(fat, next, regularSectors[i]);
    next += static_cast<uint32_t>(regularSectors[i]);
  }
  built.streamStart = starts;
  built.difatSectors = static_cast<uint32_t>(difatSectors);

  ByteWriter file;
  file.U32(0xE011CFD0).U32(0xE11AB1A1).Zeros(16).U16(0x3E).U16(layout.majorVersion).U16(0xFFFE);
  file.U16(layout.majorVersion == 4 ? 12 : 9).U16(6).Zeros(6);
  file.U32(layout.majorVersion == 4 ? static_cast<uint32_t>(directorySectors) : 0)
      .U32(static_cast<uint32_t>(fatSectors));
  file.U32(directoryStart).U32(0).U32(kMiniCutoff).U32(miniFatStart).U32(static_cast<uint32_t>(miniFatSectors));
  file.U32(difatSectors ? static_cast<uint32_t>(fatSectors) : kEndOfChain).U32(static_cast<uint32_t>(difatSectors));
  for (size_t i = 0; i < kHeaderDifat; ++i) file.U32(i < fatSectors ? static_cast<uint32_t>(i) : kFree);
  file.Zeros(sectorSize - file.size());

  built.fatAt = file.size();
  for (uint32_t entry : fat) file.U32(entry);
  for (size_t d = 0; d < difatSectors; ++d) {
    for (size_t i = 0; i < perSector - 1; ++i) {
      const size_t fatIndex = kHeaderDifat + d * (perSector - 1) + i;
      file.U32(fatIndex < fatSectors ? static_cast<uint32_t>(fatIndex) : kFree);
    }
    file.U32(d + 1 < difatSectors ? static_cast<uint32_t>(fatSectors + d + 1) : kEndOfChain);
  }
  file.Zeros(layout.padSectors * sectorSize);

  built.directoryAt = file.size();
  auto entry = [&](std::u16string_view name, uint8_t type, uint32_t right, uint32_t child, uint32_t start,
                   uint64_t size) {
    const size_t at = file.size();
    file.Utf16(name.substr(0, 31)).Zeros(at + 64 - file.size());
    file.U16(name.empty() ? 0 : static_cast<uint32_t>((std::min<size_t>(name.size(), 31) + 1) * 2));
    file.U8(type).U8(1).U32(kFree).U32(right).U32(child).Zeros(16 + 4 + 16).U32(start).U64(size);
  };
  entry(u"Root Entry", 5, kFree, layout.streams.empty() ? kFree : 1, miniStreamStart, miniStream.size());
  for (size_t i = 0; i < layout.streams.size(); ++i) {
    const std::string& name = layout.streams[i].name;
    const uint32_t right = i + 1 < layout.streams.size() ? static_cast<uint32_t>(i + 2) : kFree;
    entry(std::u16string(name.begin(), name.end()), 2, right, kFree, starts[i], layout.streams[i].data.size());
  }
  while ((file.size() - built.directoryAt) % sectorSize != 0) entry(u"", 0, kFree, kFree, 0, 0);
  for (uint32_t value : miniFat) file.U32(value);
  file.Zeros(CeilDiv(file.size(), sectorSize) * sectorSize - file.size());
  file.Bytes(miniStream).Zeros(CeilDiv(file.size(), sectorSize) * sectorSize - file.size());
  for (size_t i = 0; i < layout.streams.size(); ++i) {
    if (inMini[i]) continue;
    file.Bytes(layout.streams[i].data).Zeros(CeilDiv(file.size(), sectorSize) * sectorSize - file.size());
  }
  built.bytes = file.bytes();
  return built;
}

ByteVector BuildDestList(uint32_t version, const std::vector<DestListRow>& entries) {
  ByteWriter list;
  uint32_t pinned = 0;
  for (const DestListRow& entry : entries) pinned += entry.pinStatus >= 0 ? 1 : 0;
  list.U32(version).U32(static_cast<uint32_t>(entries.size())).U32(pinned).Zeros(20);
  for (const DestListRow& entry : entries) {
    list.U64(0);
    for (int i = 0; i < 4; ++i) list.Guid("{FB6AF886-05D7-402D-9741-D1EE9E64C41F}");
    list.Ansi(entry.hostname.substr(0, 15)).Zeros(15 - std::min<size_t>(entry.hostname.size(), 15));
    list.U32(entry.entryNumber).U32(0).U32(0x3F800000).U64(entry.lastOpened);
    list.U32(static_cast<uint32_t>(entry.pinStatus));
    if (version >= 2) list.U32(0).U32(entry.accessCount).U64(0);
    list.U16(static_cast<uint32_t>(entry.path.size())).Utf16(entry.path, false);
    if (version >= 2) list.U32(0);
  }
  return list.bytes();
}

}  // namespace tmr::test
