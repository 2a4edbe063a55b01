// The compound file reader on the real jump list, on built files of both
// sector sizes (one large enough to need a DIFAT sector), and on files
// whose chains, trees and sizes were made to trap a trusting reader.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/CompoundFile.h"
#include "support/Fixtures.h"
#include "support/ShellFormatBuilder.h"

namespace tmr {
namespace {

using test::BuiltCompound;
using test::ByteVector;
using test::CompoundLayout;

ByteVector Pattern(size_t size, uint8_t seed) {
  ByteVector bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7 + i / 251);
  return bytes;
}

void PutU32(ByteVector& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<std::string> RootNames(const CompoundFile& file) {
  std::vector<std::string> names;
  for (uint32_t index : file.RootChildren()) names.push_back(file.Entries()[index].name);
  return names;
}

TEST(CompoundFile, RealJumpListHoldsDestListAndOneStreamPerEntry) {
  const std::string raw = test::ReadFixture("windows-today/1b4dd67f29cb1962.automaticDestinations-ms");
  if (raw.empty()) GTEST_SKIP() << "fixture missing";
  const std::span bytes(reinterpret_cast<const uint8_t*>(raw.data()), raw.size());
  const std::optional<CompoundFile> file = CompoundFile::Open(bytes);
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(RootNames(*file), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "DestList"}));
  // DestList lies in the mini stream; "6" (4803 bytes) in ordinary sectors.
  const std::optional<ByteVector> destList = file->ReadRootStream("destlist");
  ASSERT_TRUE(destList.has_value());
  ASSERT_EQ(destList->size(), 1500u);
  EXPECT_EQ((*destList)[0], 1);  // format version 1
  const std::optional<ByteVector> six = file->ReadRootStream("6");
  ASSERT_TRUE(six.has_value());
  ASSERT_EQ(six->size(), 4803u);
  EXPECT_EQ((*six)[0], 0x4C);  // a link header
  EXPECT_EQ((*six)[4], 0x01);
  EXPECT_FALSE(file->ReadRootStream("8").has_value());
}

TEST(CompoundFile, BuiltFilesGiveBackEveryStreamWhole) {
  const std::vector<test::BuiltStream> streams = {
      {"small", Pattern(100, 1)}, {"empty", {}}, {"edge", Pattern(4095, 2)}, {"large", Pattern(9000, 3)}};
  struct Case {
    const char* what;
    CompoundLayout layout;
  };
  const std::vector<Case> cases = {
      {"version 3, mini stream", {.streams = streams}},
      {"version 4", {.streams = streams, .majorVersion = 4}},
      // 14000 unused sectors: the FAT needs 110 sectors, one more than the
      // header lists, and the streams' chains lie in the FAT sectors the
      // DIFAT sector lists.
      {"FAT reached through the DIFAT", {.streams = streams, .padSectors = 14000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const BuiltCompound built = test::BuildCompoundFile(c.layout);
    const std::optional<CompoundFile> file = CompoundFile::Open(built.bytes);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(RootNames(*file), (std::vector<std::string>{"small", "empty", "edge", "large"}));
    for (const test::BuiltStream& stream : streams) {
      EXPECT_EQ(file->ReadRootStream(stream.name), stream.data) << stream.name;
    }
    EXPECT_EQ(built.difatSectors, c.layout.padSectors != 0 ? 1u : 0u);
  }
}

TEST(CompoundFile, LoopsAndWildNumbersEndInsteadOfRepeating) {
  const ByteVector data = Pattern(5000, 9);  // ten 512-byte sectors
  const BuiltCompound built = test::BuildCompoundFile({.streams = {{"a", data}, {"b", Pattern(700, 4)}}});
  const size_t sectors = (built.bytes.size() - 512) / 512;
  const uint32_t start = built.streamStart[0];
  const size_t entryA = built.directoryAt + 128;

  ByteVector loop = built.bytes;  // the third sector leads back to the first
  PutU32(loop, built.fatAt + (start + 2) * 4, start);
  std::optional<CompoundFile> file = CompoundFile::Open(loop);
  ASSERT_TRUE(file.has_value());
  ByteVector read = file->ReadStream(file->Entries()[1]);
  EXPECT_EQ(read.size(), data.size());     // the size ends it, repeats included
  PutU32(loop, entryA + 120, 0xFFFFFFFF);  // and with a size that never ends it, the sector count does
  file = CompoundFile::Open(loop);
  EXPECT_EQ(file->ReadStream(file->Entries()[1]).size(), sectors * 512);

  ByteVector wildStart = built.bytes;
  PutU32(wildStart, entryA + 116, 0x7FFFFFF0);
  file = CompoundFile::Open(wildStart);
  EXPECT_TRUE(file->ReadStream(file->Entries()[1]).empty());

  ByteVector siblingLoop = built.bytes;  // "b" names "a" as its right sibling
  PutU32(siblingLoop, built.directoryAt + 2 * 128 + 72, 1);
  file = CompoundFile::Open(siblingLoop);
  EXPECT_EQ(RootNames(*file), (std::vector<std::string>{"a", "b"}));

  ByteVector noRoot = built.bytes;
  noRoot[built.directoryAt + 66] = 2;
  EXPECT_FALSE(CompoundFile::Open(noRoot).has_value());
  EXPECT_FALSE(CompoundFile::Open(std::span(built.bytes).first(511)).has_value());
}

TEST(CompoundFile, StreamsThatShareSectorsCannotMakeReadingQuadratic) {
  // Many directory entries all claiming the same long chain: reading each
  // would cost entries x file size. The reader stops handing out bytes once
  // they add up to twice the file.
  std::vector<test::BuiltStream> streams = {{"big", Pattern(64 * 1024, 5)}};
  for (int i = 0; i < 200; ++i) {
    // Appended, not "s" + text: GCC 12 warns falsely (-Wrestrict) on that.
    std::string name(1, 's');
    name += std::to_string(i);
    streams.push_back({name, {}});
  }
  BuiltCompound built = test::BuildCompoundFile({.streams = streams});
  for (size_t i = 2; i <= streams.size(); ++i) {
    const size_t entry = built.directoryAt + i * 128;
    PutU32(built.bytes, entry + 116, built.streamStart[0]);
    PutU32(built.bytes, entry + 120, 64 * 1024);
  }
  const std::optional<CompoundFile> file = CompoundFile::Open(built.bytes);
  ASSERT_TRUE(file.has_value());
  size_t total = 0, whole = 0;
  for (uint32_t index : file->RootChildren()) {
    const size_t size = file->ReadStream(file->Entries()[index]).size();
    total += size;
    whole += size == 64 * 1024 ? 1 : 0;
  }
  EXPECT_LE(total, 2 * built.bytes.size());
  EXPECT_GE(whole, 1u);
}

}  // namespace
}  // namespace tmr
