// Jump lists: the real Explorer list (DestList version 1) and custom list,
// built lists for the later DestList versions, pinning and custom
// categories, and the damage each reader must stop at.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/JumpList.h"
#include "support/Fixtures.h"
#include "support/ShellFormatBuilder.h"

namespace tmr {
namespace {

using test::ByteVector;
using test::ByteWriter;

std::span<const uint8_t> AsBytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(JumpList, RealExplorerListJoinsEveryEntryToItsLink) {
  const std::string file = test::ReadFixture("windows-today/1b4dd67f29cb1962.automaticDestinations-ms");
  if (file.empty()) GTEST_SKIP() << "fixture missing";
  const std::optional<AutomaticDestinations> list = ReadAutomaticDestinations(AsBytes(file));
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->version, 1u);
  ASSERT_EQ(list->entries.size(), 7u);
  std::vector<uint32_t> numbers;
  for (const AutomaticDestination& d : list->entries) {
    numbers.push_back(d.entry.entryNumber);
    EXPECT_FALSE(d.entry.pinned);
    EXPECT_EQ(d.entry.hostname, "student-pc1");
    ASSERT_TRUE(d.link.has_value());
    EXPECT_TRUE(d.link->complete);
    EXPECT_LE(d.entry.lastOpened, list->entries.front().entry.lastOpened);  // most recent first
  }
  EXPECT_EQ(numbers, (std::vector<uint32_t>{7, 5, 2, 1, 6, 4, 3}));

  const AutomaticDestination& downloads = list->entries[0];
  EXPECT_EQ(downloads.entry.path, "C:\\Users\\bperry\\Downloads");
  EXPECT_EQ(downloads.entry.lastOpened, 0x01D0E26FF30771E0u);
  EXPECT_EQ(GuidText(downloads.entry.volumeId), "{FB6AF886-05D7-402D-9741-D1EE9E64C41F}");
  EXPECT_EQ(downloads.link->TargetPath(), "C:\\Users\\bperry\\Downloads");
  EXPECT_EQ(downloads.link->attributes, 0x11u);
  EXPECT_EQ(GuidText(downloads.link->knownFolder), "{374DE290-123F-4565-9164-39C4925E467B}");
  EXPECT_EQ(downloads.link->driveSerial, 0x885029E6u);

  const AutomaticDestination& pictures = list->entries[2];
  EXPECT_EQ(pictures.entry.path, "::{031E4825-7B94-4DC3-B131-E946B44C8DD5}\\Pictures.library-ms");
  EXPECT_EQ(pictures.link->TargetPath(),
            "C:\\Users\\bperry\\AppData\\Roaming\\Microsoft\\Windows\\Libraries\\Pictures.library-ms");
  EXPECT_EQ(ApplicationOfAppId("1b4dd67f29cb1962"), "Windows Explorer");
}

TEST(JumpList, RealCustomListIsReadToItsFooter) {
  const std::string file = test::ReadFixture("windows-today/5afe4de1b92fc382.customDestinations-ms");
  if (file.empty()) GTEST_SKIP() << "fixture missing";
  const std::vector<CustomDestination> links = ReadCustomDestinations(AsBytes(file));
  ASSERT_EQ(links.size(), 9u);
  size_t consumed = 12 + 4 + 4 + 4;  // header, category type and count, footer
  for (const CustomDestination& d : links) {
    EXPECT_EQ(d.categoryType, kUserTasks);
    EXPECT_EQ(d.link.TargetPath(), "C:\\Windows\\System32\\GettingStarted.exe");
    consumed += 16 + d.link.size;
  }
  EXPECT_EQ(consumed, file.size());
  EXPECT_EQ(links[0].link.name, "@%systemroot%\\system32\\oobefldr.dll,-1102");
  EXPECT_EQ(links[0].link.arguments,
            "{A97AF2A4-8EF1-49C1-8B4C-68B8AE925549} http://go.microsoft.com/fwlink/?LinkID=139460");
  EXPECT_EQ(links[8].link.name, "@%systemroot%\\system32\\oobefldr.dll,-1262");
  EXPECT_EQ(ApplicationOfAppId("5afe4de1b92fc382"), "");
}

TEST(JumpList, LaterDestListVersionsCarryPinsAndAccessCounts) {
  const ByteVector link = test::BuildLink({.localBasePath = u"D:\\plans\\2025.xlsx"});
  for (uint32_t version : {3u, 4u}) {
    SCOPED_TRACE(version);
    const ByteVector destList =
        test::BuildDestList(version, {{.entryNumber = 0x1A,
                                       .lastOpened = 0x01DB000000000000,
                                       .pinStatus = 0,
                                       .accessCount = 12,
                                       .hostname = "laptop",
                                       .path = u"D:\\plans\\2025.xlsx"},
                                      {.entryNumber = 0x1B, .pinStatus = -1, .accessCount = 1, .path = u"gone.txt"}});
    const test::BuiltCompound file = test::BuildCompoundFile({.streams = {{"DestList", destList}, {"1a", link}}});
    const std::optional<AutomaticDestinations> list = ReadAutomaticDestinations(file.bytes);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->version, version);
    ASSERT_EQ(list->entries.size(), 2u);
    const DestListEntry& pinned = list->entries[0].entry;
    EXPECT_TRUE(pinned.pinned);
    EXPECT_EQ(pinned.pinPosition, 0);
    EXPECT_EQ(pinned.accessCount, 12u);
    EXPECT_EQ(pinned.lastOpened, 0x01DB000000000000u);
    EXPECT_EQ(pinned.hostname, "laptop");
    EXPECT_EQ(pinned.path, "D:\\plans\\2025.xlsx");
    ASSERT_TRUE(list->entries[0].link.has_value());
    EXPECT_EQ(list->entries[0].link->TargetPath(), "D:\\plans\\2025.xlsx");
    EXPECT_FALSE(list->entries[1].entry.pinned);
    EXPECT_EQ(list->entries[1].entry.path, "gone.txt");
    EXPECT_FALSE(list->entries[1].link.has_value());  // no stream "1b"
  }
  EXPECT_EQ(DestListStreamName(0), "0");
  EXPECT_EQ(DestListStreamName(0xFFFFFFFF), "ffffffff");
}

TEST(JumpList, DestListStopsAtWhatDoesNotFit) {
  const std::vector<test::DestListRow> two = {{.entryNumber = 1, .path = u"C:\\a"},
                                              {.entryNumber = 2, .path = u"C:\\b"}};
  for (uint32_t version : {1u, 3u}) {
    SCOPED_TRACE(version);
    ByteVector absurdCount = test::BuildDestList(version, two);
    absurdCount[4] = absurdCount[5] = absurdCount[6] = absurdCount[7] = 0xFF;
    EXPECT_EQ(ParseDestList(absurdCount)->entries.size(), 2u);

    ByteVector longPath = test::BuildDestList(version, two);
    const size_t secondPath = longPath.size() - (version == 1 ? 2 : 6) - 8;  // the second entry's path size
    longPath[secondPath] = 0xFF;
    const std::optional<DestList> cut = ParseDestList(longPath);
    ASSERT_EQ(cut->entries.size(), 1u);
    EXPECT_EQ(cut->entries[0].path, "C:\\a");
  }
  ByteVector unknownVersion = test::BuildDestList(3, two);
  unknownVersion[0] = 9;
  EXPECT_TRUE(ParseDestList(unknownVersion)->entries.empty());
  EXPECT_FALSE(ParseDestList(std::span(unknownVersion).first(31)).has_value());
}

// A custom list: a named category of two links, the shell's recent list
// (no links), and the tasks with one link, each category with its footer.
struct BuiltCustom {
  ByteVector bytes;
  size_t secondLinkAt = 0;
};

BuiltCustom BuildCustomList() {
  const ByteVector clsid = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  auto link = [](const char16_t* path) { return test::BuildLink({.localBasePath = std::u16string(path)}); };
  BuiltCustom built;
  ByteWriter file;
  file.U32(2).U32(3).U32(0);
  file.U32(kCustomCategory).U16(15).Utf16(u"Recent projects", false).U32(2);
  file.Bytes(clsid).Bytes(link(u"C:\\p\\one.prj"));
  built.secondLinkAt = file.size();
  file.Bytes(clsid).Bytes(link(u"C:\\p\\two.prj")).U32(0xBABFFBAB);
  file.U32(kKnownCategory).U32(2).U32(0xBABFFBAB);
  file.U32(kUserTasks).U32(1).Bytes(clsid).Bytes(link(u"C:\\tools\\new.exe")).U32(0xBABFFBAB);
  built.bytes = file.bytes();
  return built;
}

TEST(JumpList, CustomListsKeepCategoriesAndStopAtDamage) {
  const BuiltCustom built = BuildCustomList();
  std::vector<CustomDestination> links = ReadCustomDestinations(built.bytes);
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(links[0].category, "Recent projects");
  EXPECT_EQ(links[1].link.TargetPath(), "C:\\p\\two.prj");
  EXPECT_EQ(links[2].categoryType, kUserTasks);
  EXPECT_EQ(links[2].link.TargetPath(), "C:\\tools\\new.exe");

  ByteVector absurdCategories = built.bytes;
  absurdCategories[4] = absurdCategories[5] = absurdCategories[6] = absurdCategories[7] = 0xFF;
  EXPECT_EQ(ReadCustomDestinations(absurdCategories).size(), 3u);

  ByteVector otherObject = built.bytes;  // an entry that is not a link: its size is unknown
  otherObject[built.secondLinkAt] ^= 0xFF;
  EXPECT_EQ(ReadCustomDestinations(otherObject).size(), 1u);

  const std::span<const uint8_t> cut = std::span(built.bytes).first(built.secondLinkAt + 16 + 100);
  links = ReadCustomDestinations(cut);
  ASSERT_EQ(links.size(), 2u);
  EXPECT_TRUE(links[0].link.complete);
  EXPECT_FALSE(links[1].link.complete);
}

TEST(JumpList, AppIdsAreLookedUpInAnyCase) {
  EXPECT_EQ(ApplicationOfAppId("1B4DD67F29CB1962"), "Windows Explorer");
  EXPECT_EQ(ApplicationOfAppId("9b9cdc69c1c24e2b"), "Notepad (64-bit)");
  EXPECT_EQ(ApplicationOfAppId("1b4dd67f29cb196"), "");
  EXPECT_EQ(ApplicationOfAppId(""), "");
}

}  // namespace
}  // namespace tmr
