#include "support/HiveBuilder.h"

#include <algorithm>
#include <cstring>

#include "core/HiveFormat.h"
#include "core/HiveLog.h"
#include "core/Utf8Text.h"

namespace tmr::test {
namespace {

// Little-endian fields one after another.
struct Record {
  std::vector<uint8_t> bytes;
  Record& Text(std::string_view text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
  }
  Record& U16(uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    return *this;
  }
  Record& U32(uint32_t value) { return U16(value & 0xFFFF).U16(value >> 16); }
  Record& PadTo(size_t size) {
    bytes.resize(size);
    return *this;
  }
};

void PutHash(std::vector<uint8_t>& entry, size_t at, std::span<const uint8_t> data) {
  const uint64_t hash = Marvin32(data, kHiveLogSeed);
  hive::PutU32(entry, at, static_cast<uint32_t>(hash));
  hive::PutU32(entry, at + 4, static_cast<uint32_t>(hash >> 32));
}

}  // namespace

std::string Utf16Le(std::u16string_view text) {
  Record record;
  for (char16_t unit : text) record.U16(unit);
  return {record.bytes.begin(), record.bytes.end()};
}

std::vector<uint8_t> ToBytes(std::string_view text) { return {text.begin(), text.end()}; }

uint32_t HiveBuilder::AddCell(std::span<const uint8_t> data) {
  const uint32_t offset = static_cast<uint32_t>(bins_.size());
  const size_t size = (4 + data.size() + 7) / 8 * 8;
  bins_.resize(offset + size);
  hive::PutU32(bins_, offset, static_cast<uint32_t>(-static_cast<int32_t>(size)));
  std::copy(data.begin(), data.end(), bins_.begin() + offset + 4);
  return offset;
}

uint32_t HiveBuilder::AddKey(const KeyLayout& key) {
  Record nk;
  nk.Text("nk").U16(key.compressed ? 0x20 : 0).U32(static_cast<uint32_t>(key.lastWrite));
  nk.U32(static_cast<uint32_t>(key.lastWrite >> 32)).PadTo(28);
  // Parent, subkey count and security are not read: left unset.
  for (uint32_t field : {key.subkeyList, kNoHiveCell, key.valueCount, key.valueList, kNoHiveCell, key.classCell}) {
    nk.U32(field);
  }
  nk.PadTo(72).U16(static_cast<uint32_t>(key.name.size())).U16(key.classLength).Text(key.name);
  return AddCell(nk.bytes);
}

uint32_t HiveBuilder::AddValue(std::string_view name, uint32_t type, uint32_t sizeField, uint32_t dataField,
                               bool compressed) {
  const auto length = static_cast<uint32_t>(name.size());
  return AddCell(
      Record().Text("vk").U16(length).U32(sizeField).U32(dataField).U32(type).U16(compressed).U16(0).Text(name).bytes);
}

uint32_t HiveBuilder::AddList(std::string_view signature, const std::vector<uint32_t>& elements) {
  Record list;
  list.Text(signature).U16(static_cast<uint32_t>(elements.size()));
  for (uint32_t element : elements) {
    list.U32(element);
    if (signature == "lf" || signature == "lh") list.U32(0);
  }
  return AddCell(list.bytes);
}

uint32_t HiveBuilder::AddOffsets(const std::vector<uint32_t>& offsets) {
  Record list;
  for (uint32_t offset : offsets) list.U32(offset);
  return AddCell(list.bytes);
}

uint32_t HiveBuilder::AddBigData(std::span<const uint8_t> data) {
  std::vector<uint32_t> segments;
  for (size_t at = 0; at < data.size(); at += 16344) {
    segments.push_back(AddCell(data.subspan(at, std::min<size_t>(16344, data.size() - at))));
  }
  return AddCell(Record().Text("db").U16(static_cast<uint32_t>(segments.size())).U32(AddOffsets(segments)).bytes);
}

void HiveBuilder::CloseBin() {
  const size_t size = (bins_.size() - binStart_ + 4095) / 4096 * 4096;
  // The rest of the bin is one free cell.
  const size_t rest = binStart_ + size - bins_.size();
  bins_.resize(binStart_ + size);
  if (rest != 0) hive::PutU32(bins_, binStart_ + size - rest, static_cast<uint32_t>(rest));
  hive::PutU32(bins_, binStart_ + 8, static_cast<uint32_t>(size));
}

void HiveBuilder::NewBin() {
  if (!bins_.empty()) CloseBin();
  binStart_ = bins_.size();
  const std::vector<uint8_t> header = Record().Text("hbin").U32(static_cast<uint32_t>(binStart_)).PadTo(32).bytes;
  bins_.insert(bins_.end(), header.begin(), header.end());
}

void HiveBuilder::Put32(uint32_t cell, int at, uint32_t value) { hive::PutU32(bins_, cell + 4 + at, value); }

std::vector<uint8_t> HiveBuilder::Build(uint32_t root) {
  CloseBin();
  // Sequence numbers 1 and 1, no time, version 1.minor, file type 0,
  // format 1, the root, the bins' size, clustering factor 1.
  Record header;
  header.Text("regf");
  for (uint32_t field : {1u, 1u, 0u, 0u, 1u, minorVersion_, 0u, 1u, root, static_cast<uint32_t>(bins_.size()), 1u}) {
    header.U32(field);
  }
  std::vector<uint8_t>& file = header.PadTo(hive::kBaseBlockSize).bytes;
  SealBaseBlock(file);
  file.insert(file.end(), bins_.begin(), bins_.end());
  return file;
}

void SealBaseBlock(std::span<uint8_t> baseBlock) {
  hive::PutU32(baseBlock, hive::kChecksumAt, hive::BaseBlockChecksum(baseBlock));
}

std::vector<uint8_t> BuildLog(std::span<const uint8_t> baseBlock, uint32_t sequence,
                              const std::vector<LogEntryParts>& entries) {
  std::vector<uint8_t> log(baseBlock.begin(), baseBlock.begin() + 512);
  hive::PutU32(log, hive::kPrimarySequenceAt, sequence);
  hive::PutU32(log, hive::kSecondarySequenceAt, sequence);
  hive::PutU32(log, hive::kFileTypeAt, hive::kFileTypeLogNew);
  SealBaseBlock(log);
  for (const LogEntryParts& logged : entries) {
    Record entry;
    entry.Text("HvLE").PadTo(12).U32(logged.sequence).U32(logged.binsDataSize);
    entry.U32(static_cast<uint32_t>(logged.pages.size())).PadTo(40);
    for (const LogPage& page : logged.pages) entry.U32(page.offset).U32(static_cast<uint32_t>(page.bytes.size()));
    for (const LogPage& page : logged.pages) entry.bytes.insert(entry.bytes.end(), page.bytes.begin(), page.bytes.end());
    std::vector<uint8_t>& bytes = entry.PadTo((entry.bytes.size() + 511) / 512 * 512).bytes;
    hive::PutU32(bytes, 4, static_cast<uint32_t>(bytes.size()));
    PutHash(bytes, 24, std::span(bytes).subspan(40));
    PutHash(bytes, 32, std::span(bytes).first(32));
    log.insert(log.end(), bytes.begin(), bytes.end());
  }
  return log;
}

namespace {

struct TreeNode {
  std::string name;
  std::vector<TreeValue> values;
  uint64_t lastWrite = 0;
  std::vector<TreeNode> children;
};

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}

TreeNode& Child(TreeNode& parent, std::string_view name) {
  for (TreeNode& child : parent.children) {
    if (UpperAscii(child.name) == UpperAscii(std::string(name))) return child;
  }
  parent.children.push_back({std::string(name), {}, 0, {}});
  return parent.children.back();
}

// A name as a record stores it, and whether it is compressed.
std::pair<std::string, bool> StoredName(std::string_view utf8) {
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return {std::string(utf8), true};
  }
  std::u16string units;
  for (size_t at = 0; at < utf8.size();) {
    char32_t c = 0;
    const size_t length = DecodeStrictUtf8(utf8, at, c);
    if (length == 0) {
      c = static_cast<unsigned char>(utf8[at]);
      at += 1;
    } else {
      at += length;
    }
    if (c >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(c));
    }
  }
  return {Utf16Le(units), false};
}

uint32_t AddNode(HiveBuilder& builder, TreeNode& node) {
  std::sort(node.children.begin(), node.children.end(),
            [](const TreeNode& a, const TreeNode& b) { return UpperAscii(a.name) < UpperAscii(b.name); });
  std::vector<uint32_t> subkeys;
  for (TreeNode& child : node.children) subkeys.push_back(AddNode(builder, child));
  std::vector<uint32_t> values;
  for (const TreeValue& value : node.values) {
    const auto size = static_cast<uint32_t>(value.data.size());
    const auto [name, compressed] = StoredName(value.name);
    if (size <= 4) {
      uint32_t inlineData = 0;
      for (size_t i = 0; i < size; ++i) inlineData |= uint32_t{static_cast<uint8_t>(value.data[i])} << (8 * i);
      values.push_back(builder.AddValue(name, value.type, 0x80000000u | size, inlineData, compressed));
    } else {
      const uint32_t data = builder.AddCell(ToBytes(value.data));
      values.push_back(builder.AddValue(name, value.type, size, data, compressed));
    }
  }
  const auto [name, compressed] = StoredName(node.name);
  KeyLayout key{.name = name, .compressed = compressed, .lastWrite = node.lastWrite};
  if (!subkeys.empty()) key.subkeyList = builder.AddList("lf", subkeys);
  if (!values.empty()) {
    key.valueList = builder.AddOffsets(values);
    key.valueCount = static_cast<uint32_t>(values.size());
  }
  return builder.AddKey(key);
}

}  // namespace

std::vector<uint8_t> BuildHiveTree(const std::vector<TreeKey>& keys) {
  TreeNode root{"ROOT", {}, 0, {}};
  for (const TreeKey& key : keys) {
    TreeNode* node = &root;
    std::string_view path = key.path;
    while (!path.empty()) {
      const size_t separator = path.find('\\');
      node = &Child(*node, path.substr(0, separator));
      path.remove_prefix(separator == std::string_view::npos ? path.size() : separator + 1);
    }
    node->values.insert(node->values.end(), key.values.begin(), key.values.end());
    node->lastWrite = key.lastWrite;
  }
  HiveBuilder builder;
  const uint32_t top = AddNode(builder, root);
  return builder.Build(top);
}

std::string SzData(std::u16string_view text) { return Utf16Le(text) + std::string(2, '\0'); }

}  // namespace tmr::test
