// Builds shell items, links, compound files and DestList streams byte for
// byte as the format documents lay them out, for the cases the real
// samples do not hold. The builders write what they are told, sizes
// included, so a test can also make a damaged structure.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tmr::test {

using ByteVector = std::vector<uint8_t>;

// Little-endian appends and stores.
class ByteWriter {
 public:
  ByteWriter& U8(uint32_t value);
  ByteWriter& U16(uint32_t value);
  ByteWriter& U32(uint32_t value);
  ByteWriter& U64(uint64_t value);
  ByteWriter& Bytes(const ByteVector& bytes);
  ByteWriter& Ansi(std::string_view text, bool terminate = true);
  ByteWriter& Utf16(std::u16string_view text, bool terminate = true);
  ByteWriter& Guid(std::string_view guid);  // "{20D04FE0-3AEA-1069-A2D8-08002B30309D}"
  ByteWriter& Zeros(size_t count);
  void PutU16(size_t at, uint32_t value);
  void PutU32(size_t at, uint32_t value);
  size_t size() const { return bytes_.size(); }
  const ByteVector& bytes() const { return bytes_; }

 private:
  ByteVector bytes_;
};

// FAT date and time words, for the file entry fields.
uint16_t FatDate(int year, int month, int day);
uint16_t FatTime(int hour, int minute, int second);
// The same instant as a FILETIME, for the expectations.
uint64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second);

ByteVector RootFolderItem(std::string_view guid);
ByteVector VolumeItem(std::string_view drive);  // class 0x2F, e.g. "C:\"

struct FileEntryLayout {
  std::string primaryName{};  // ANSI, the short name
  std::u16string longName{};  // in the 0xBEEF0004 block; no block when extensionVersion is 0
  uint16_t extensionVersion = 9;
  uint8_t classType = 0x32;  // 0x31 directory, 0x32 file
  uint32_t fileSize = 0;
  uint16_t modifiedDate = 0, modifiedTime = 0;
  uint16_t createdDate = 0, createdTime = 0;
  uint16_t accessedDate = 0, accessedTime = 0;
  uint64_t mftReference = 0;
};
ByteVector FileEntryItem(const FileEntryLayout& layout);

ByteVector NetworkItem(uint8_t classType, std::string_view location);
// A URI item with a data block of `dataSize` bytes (0: none) before the text.
ByteVector UriItem(std::u16string_view uri, uint16_t dataSize);

// The items one after another and the two-byte terminator.
ByteVector IdList(std::initializer_list<ByteVector> items);

struct LinkLayout {
  std::optional<ByteVector> idList{};  // as IdList() makes it
  // LinkInfo; written when either path is set.
  std::optional<std::u16string> localBasePath{};  // with the volume id (fixed drive, the serial below)
  std::optional<std::u16string> netName{};        // with a common network relative link
  std::u16string commonPathSuffix{};
  bool unicodeLinkInfo = true;  // the header of 0x24 bytes with the Unicode offsets, or 0x1C ANSI only
  uint32_t driveSerial = 0x1234ABCD;
  bool unicodeStrings = true;
  std::optional<std::u16string> name{}, relativePath{}, workingDir{}, arguments{}, iconLocation{};
  std::optional<std::string> machineId{};  // a tracker block
  uint64_t created = 0, accessed = 0, written = 0;
  uint32_t fileSize = 0;
  uint32_t attributes = 0x20;
};
ByteVector BuildLink(const LinkLayout& layout);

struct BuiltStream {
  std::string name{};
  ByteVector data{};
};

// Streams below 4096 bytes go to the mini stream, as the format requires.
struct CompoundLayout {
  std::vector<BuiltStream> streams{};
  uint16_t majorVersion = 3;  // 3: 512-byte sectors, 4: 4096-byte sectors
  // Unused sectors before the streams' data. Past 109 * 128 of them in
  // version 3 the FAT outgrows the header's DIFAT slots and the file needs
  // a DIFAT sector.
  size_t padSectors = 0;
};

struct BuiltCompound {
  ByteVector bytes;
  std::vector<uint32_t> streamStart;  // first sector (or mini sector) of each stream
  size_t directoryAt = 0;             // file offset of the first directory sector
  size_t fatAt = 0;                   // file offset of the first FAT sector
  uint32_t difatSectors = 0;
};

// Root entry first, then the streams in order, chained as right siblings
// (a degenerate but valid tree).
BuiltCompound BuildCompoundFile(const CompoundLayout& layout);

struct DestListRow {
  uint32_t entryNumber = 1;
  uint64_t lastOpened = 0;
  int32_t pinStatus = -1;
  uint32_t accessCount = 0;
  std::string hostname = "host";
  std::u16string path{};
};
ByteVector BuildDestList(uint32_t version, const std::vector<DestListRow>& entries);

}  // namespace tmr::test
