#include "core/ShellLink.h"

#include <algorithm>
#include <array>

#include "core/BinaryFields.h"

namespace tmr {
namespace {

// {00021401-0000-0000-C000-000000000046} as stored.
constexpr std::array<uint8_t, 16> kLinkClsid{0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                             0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kCommonNetworkRelativeLink = 0x2;
constexpr uint32_t kValidDevice = 0x1;
constexpr size_t kLinkInfoMinimum = 0x1C;
constexpr size_t kLinkInfoWithUnicode = 0x24;

constexpr uint32_t kEnvironmentBlock = 0xA0000001;
constexpr uint32_t kTrackerBlock = 0xA0000003;
constexpr uint32_t kKnownFolderBlock = 0xA000000B;
constexpr size_t kEnvironmentAnsiAt = 8;
constexpr size_t kEnvironmentUnicodeAt = 268;
constexpr size_t kEnvironmentChars = 260;
constexpr size_t kTrackerMachineAt = 16;
constexpr size_t kTrackerMachineChars = 16;

// A text of the LinkInfo at `offset` (from its start); 0 means absent.
std::string LinkInfoText(const ByteRange& info, uint32_t offset, bool unicode) {
  if (offset == 0 || offset >= info.size()) return "";
  return unicode ? Utf16Field(info, offset, info.size()).text : AnsiField(info, offset, info.size()).text;
}

// Each text is stored as ANSI and, where the header is long enough to hold
// the second offset, as Unicode as well; the Unicode one is taken when it
// is there, since ANSI lost what the code page cannot hold.
std::string PreferUnicode(const ByteRange& info, uint32_t ansiOffset, uint32_t unicodeOffset) {
  if (unicodeOffset != 0) return LinkInfoText(info, unicodeOffset, true);
  return LinkInfoText(info, ansiOffset, false);
}

void ReadVolume(ShellLinkInfo& link, const ByteRange& info, uint32_t offset) {
  const ByteRange volume = info.Sub(offset, info.U32(offset));
  if (volume.size() < 16) return;
  link.hasVolume = true;
  link.driveType = volume.U32(4);
  link.driveSerial = volume.U32(8);
  const uint32_t labelOffset = volume.U32(12);
  link.volumeLabel =
      labelOffset == 0x14 ? LinkInfoText(volume, volume.U32(16), true) : LinkInfoText(volume, labelOffset, false);
}

void ReadNetworkLink(ShellLinkInfo& link, const ByteRange& info, uint32_t offset) {
  const ByteRange net = info.Sub(offset, info.U32(offset));
  if (net.size() < 20) return;
  const uint32_t netFlags = net.U32(4);
  const uint32_t nameOffset = net.U32(8);
  const uint32_t deviceOffset = net.U32(12);
  const bool unicode = nameOffset > 0x14;
  link.netName = unicode ? LinkInfoText(net, net.U32(20), true) : LinkInfoText(net, nameOffset, false);
  if ((netFlags & kValidDevice) != 0) {
    link.deviceName = unicode ? LinkInfoText(net, net.U32(24), true) : LinkInfoText(net, deviceOffset, false);
  }
}

void ReadLinkInfo(ShellLinkInfo& link, const ByteRange& info) {
  const uint32_t headerSize = info.U32(4);
  const uint32_t infoFlags = info.U32(8);
  const bool hasUnicode = headerSize >= kLinkInfoWithUnicode;
  const uint32_t baseUnicode = hasUnicode ? info.U32(28) : 0;
  const uint32_t suffixUnicode = hasUnicode ? info.U32(32) : 0;
  if ((infoFlags & kVolumeIdAndLocalBasePath) != 0) {
    ReadVolume(link, info, info.U32(12));
    link.localBasePath = PreferUnicode(info, info.U32(16), baseUnicode);
  }
  if ((infoFlags & kCommonNetworkRelativeLink) != 0) ReadNetworkLink(link, info, info.U32(20));
  link.commonPathSuffix = PreferUnicode(info, info.U32(24), suffixUnicode);
}

void ReadExtraBlock(ShellLinkInfo& link, const ByteRange& block) {
  switch (block.U32(4)) {
    case kEnvironmentBlock: {
      std::string target = Utf16Field(block, kEnvironmentUnicodeAt, kEnvironmentChars).text;
      if (target.empty()) target = AnsiField(block, kEnvironmentAnsiAt, kEnvironmentChars).text;
      link.environmentTarget = std::move(target);
      break;
    }
    case kTrackerBlock: link.machineId = AnsiField(block, kTrackerMachineAt, kTrackerMachineChars).text; break;
    case kKnownFolderBlock: link.knownFolder = GuidBytesAt(block, 8); break;
    default: break;
  }
}

// Walks the sections after the header, leaving `at` where the link ends (or
// where the damage began). False when a part does not fit.
bool ReadBody(ShellLinkInfo& link, const ByteRange& bytes, size_t& at) {
  if ((link.flags & kLinkHasIdList) != 0) {
    const size_t size = bytes.U16(at);
    if (!bytes.Has(at + 2, size)) return false;
    link.idList = DecodeIdList(bytes.Sub(at + 2, size).Span());
    at += 2 + size;
  }
  if ((link.flags & kLinkHasLinkInfo) != 0) {
    const size_t size = bytes.U32(at);
    if (size < kLinkInfoMinimum || !bytes.Has(at, size)) return false;
    ReadLinkInfo(link, bytes.Sub(at, size));
    at += size;
  }
  const bool unicode = (link.flags & kLinkIsUnicode) != 0;
  const std::array<std::pair<uint32_t, std::string*>, 5> strings{{
      {kLinkHasName, &link.name},
      {kLinkHasRelativePath, &link.relativePath},
      {kLinkHasWorkingDir, &link.workingDir},
      {kLinkHasArguments, &link.arguments},
      {kLinkHasIconLocation, &link.iconLocation},
  }};
  for (const auto& [flag, text] : strings) {
    if ((link.flags & flag) == 0) continue;
    const size_t count = bytes.U16(at);
    const size_t size = unicode ? count * 2 : count;
    if (!bytes.Has(at + 2, size)) return false;
    *text = unicode ? Utf16Counted(bytes, at + 2, count) : AnsiField(bytes, at + 2, count).text;
    at += 2 + size;
  }
  // Extra data blocks until the terminal one (a size below 4).
  while (true) {
    if (!bytes.Has(at, 4)) return false;
    const size_t size = bytes.U32(at);
    if (size < 4) {
      at += 4;
      return true;
    }
    if (size < 8 || !bytes.Has(at, size)) return false;
    ReadExtraBlock(link, bytes.Sub(at, size));
    at += size;
  }
}

std::string JoinPath(const std::string& base, const std::string& suffix) {
  if (suffix.empty()) return base;
  if (base.empty() || base.back() == '\\') return base + suffix;
  return base + "\\" + suffix;
}

}  // namespace

bool StartsWithShellLinkHeader(std::span<const uint8_t> raw) {
  const ByteRange bytes(raw);
  if (bytes.U32(0) != kLinkHeaderSize || !bytes.Has(0, 20)) return false;
  return std::equal(kLinkClsid.begin(), kLinkClsid.end(), raw.begin() + 4);
}

std::optional<ShellLinkInfo> ParseShellLink(std::span<const uint8_t> raw) {
  const ByteRange bytes(raw);
  if (!StartsWithShellLinkHeader(raw) || !bytes.Has(0, kLinkHeaderSize)) return std::nullopt;
  ShellLinkInfo link;
  link.flags = bytes.U32(20);
  link.attributes = bytes.U32(24);
  link.created = bytes.U64(28);
  link.accessed = bytes.U64(36);
  link.written = bytes.U64(44);
  link.fileSize = bytes.U32(52);
  link.iconIndex = static_cast<int32_t>(bytes.U32(56));
  link.showCommand = bytes.U32(60);
  link.hotKey = bytes.U16(64);
  size_t at = kLinkHeaderSize;
  link.complete = ReadBody(link, bytes, at);
  link.size = at;
  return link;
}

std::string ShellLinkInfo::TargetPath() const {
  if (!localBasePath.empty()) return JoinPath(localBasePath, commonPathSuffix);
  if (!netName.empty()) return JoinPath(netName, commonPathSuffix);
  std::string path = ShellItemPath(idList);
  if (!path.empty()) return path;
  return environmentTarget;
}

}  // namespace tmr
