// Shell items from a real link's ID list, from the examples the format
// documentation shows, and built for the kinds and versions the samples do
// not hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ShellItems.h"
#include "support/Fixtures.h"
#include "support/ShellFormatBuilder.h"

namespace tmr {
namespace {

using test::ByteVector;
using test::ByteWriter;
using test::FileTimeOf;

ByteVector FromHex(std::string_view hex) {
  ByteVector bytes;
  for (size_t i = 0; i + 1 < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    bytes.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    i += 2;
  }
  return bytes;
}

ShellItem Decode(const ByteVector& bytes) {
  std::optional<ShellItem> item = DecodeShellItem(bytes);
  EXPECT_TRUE(item.has_value());
  return item.value_or(ShellItem{});
}

TEST(ShellItems, RealIdListOfALinkGivesPathNamesAndFileEntryTimes) {
  const std::string file = test::ReadFixture("windows-today/5afe4de1b92fc382.customDestinations-ms");
  if (file.empty()) GTEST_SKIP() << "fixture missing";
  // The first link starts at 0x24; its ID list's size is at 0x70.
  const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
  const size_t listSize = bytes[0x70] | (bytes[0x71] << 8);
  const std::vector<ShellItem> items = DecodeIdList(std::span(bytes + 0x72, listSize));
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].kind, ShellItemKind::kRootFolder);
  EXPECT_EQ(items[0].name, "My Computer");
  EXPECT_EQ(items[1].kind, ShellItemKind::kVolume);
  EXPECT_EQ(items[1].name, "C:\\");
  EXPECT_EQ(ShellItemPath(items), "C:\\Windows\\System32\\GettingStarted.exe");

  const ShellItem& windows = items[2];  // FAT words 0x4718/0x5570 and 0x3AEE/0x1A85
  EXPECT_EQ(windows.classType, 0x31);
  EXPECT_EQ(windows.attributes, 0x10);
  EXPECT_EQ(windows.modified, FileTimeOf(2015, 8, 24, 10, 43, 32));
  EXPECT_EQ(windows.created, FileTimeOf(2009, 7, 14, 3, 20, 10));
  EXPECT_EQ(windows.accessed, FileTimeOf(2015, 8, 24, 10, 43, 32));
  EXPECT_EQ(windows.mftReference, 619u | (uint64_t{1} << 48));
  EXPECT_EQ(items[4].fileSize, 11776u);
  EXPECT_EQ(items[4].modified, FileTimeOf(2009, 7, 14, 1, 39, 12));
}

TEST(ShellItems, EachKindGivesItsNameOrNoneAtAll) {
  ByteWriter knownFolder;  // the property view item of the real jump list's Downloads link
  knownFolder.U16(0x20).U8(0).U8(0).U16(0x1A).U32(0x23FEBBEE).U16(0).U16(16);
  knownFolder.Guid("{374DE290-123F-4565-9164-39C4925E467B}").U16(0);
  ByteWriter category;
  category.U16(12).U8(0x01).U8(0).U32(0x39DE2184).U32(5);
  ByteWriter controlPanel;
  controlPanel.U16(30).U8(0x71).U8(0x80).Zeros(10).Guid("{BB06C0E4-D293-4F75-8A90-CB05B6477EEE}");
  ByteWriter unknown;
  unknown.U16(0).U8(0x99).U8(0).Ansi("looks like text").PutU16(0, 20);
  struct Case {
    const char* what;
    ByteVector bytes;
    ShellItemKind kind;
    std::string name;
    std::string guid;
  };
  const std::vector<Case> cases = {
      {"root folder", test::RootFolderItem("{031E4825-7B94-4DC3-B131-E946B44C8DD5}"), ShellItemKind::kRootFolder,
       "Libraries", "{031E4825-7B94-4DC3-B131-E946B44C8DD5}"},
      {"root folder not in the table", test::RootFolderItem("{12345678-9ABC-DEF0-1234-56789ABCDEF0}"),
       ShellItemKind::kRootFolder, "", "{12345678-9ABC-DEF0-1234-56789ABCDEF0}"},
      // The format documentation's Windows 7 BagMRU example (with its 0xBEEF0025 block).
      {"volume by GUID",
       FromHex("3200 2e80 3accbfb4 2cdb 4c42 b029 7fe99a87c641 1e00 0000 2500 efbe 11000000"
               "fa66a2863674cf01 2d81febcba9bcf01 1400"),
       ShellItemKind::kVolume, "Desktop", "{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}"},
      {"share", test::NetworkItem(0xC3, "\\\\controller\\WebDavShare"), ShellItemKind::kNetworkLocation,
       "\\\\controller\\WebDavShare", ""},
      {"URI alone", test::UriItem(u"http://example.com/a", 0), ShellItemKind::kUri, "http://example.com/a", ""},
      {"URI after data", test::UriItem(u"ftp://files.example.com", 24), ShellItemKind::kUri, "ftp://files.example.com",
       ""},
      {"control panel category", category.bytes(), ShellItemKind::kControlPanelCategory, "System and Security", ""},
      {"control panel item", controlPanel.bytes(), ShellItemKind::kControlPanel, "",
       "{BB06C0E4-D293-4F75-8A90-CB05B6477EEE}"},
      {"known folder", knownFolder.bytes(), ShellItemKind::kKnownFolder, "Downloads",
       "{374DE290-123F-4565-9164-39C4925E467B}"},
      {"unknown class", unknown.bytes(), ShellItemKind::kUnknown, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ShellItem item = Decode(c.bytes);
    EXPECT_EQ(item.classType, c.bytes[2]);
    EXPECT_EQ(item.kind, c.kind);
    EXPECT_EQ(item.name, c.name);
    EXPECT_EQ(IsNullGuid(item.guid) ? "" : GuidText(item.guid), c.guid);
  }
}

// Folders are looked up by their GUIDs' bytes: a text in either case finds
// the same one, and the text's groups land where Windows stores them.
TEST(ShellItems, FolderNamesByGuidInAnyCase) {
  EXPECT_EQ(ShellFolderName("{20D04FE0-3AEA-1069-A2D8-08002B30309D}"), "My Computer");
  EXPECT_EQ(ShellFolderName("{374de290-123f-4565-9164-39c4925e467b}"), "Downloads");
  EXPECT_EQ(GuidText(*ParseGuidText("{374de290-123f-4565-9164-39c4925e467b}")),
            "{374DE290-123F-4565-9164-39C4925E467B}");
  for (const char* notAGuid : {"", "{20D04FE0-3AEA-1069-A2D8-08002B30309}", "{20D04FE0-3AEA-1069-A2D8-08002B30309X}",
                               "(20D04FE0-3AEA-1069-A2D8-08002B30309D)", "{20D04FE0+3AEA-1069-A2D8-08002B30309D}"}) {
    EXPECT_EQ(ShellFolderName(notAGuid), "") << notAGuid;
    EXPECT_FALSE(ParseGuidText(notAGuid).has_value()) << notAGuid;
  }
}

TEST(ShellItems, EveryExtensionVersionYieldsTheLongNameTimesAndReference) {
  for (int version : {3, 7, 8, 9}) {
    SCOPED_TRACE(version);
    test::FileEntryLayout layout;
    layout.primaryName = "RSUM20~1.DOC";
    layout.longName = u"R\u00e9sum\u00e9 2024.docx";
    layout.extensionVersion = static_cast<uint16_t>(version);
    layout.fileSize = 70000;
    layout.modifiedDate = test::FatDate(2024, 2, 29);
    layout.modifiedTime = test::FatTime(23, 59, 58);
    layout.createdDate = test::FatDate(2023, 1, 2);
    layout.createdTime = test::FatTime(3, 4, 6);
    layout.accessedDate = test::FatDate(2024, 3, 1);
    layout.mftReference = 0x0005000000001234;
    const ShellItem item = Decode(test::FileEntryItem(layout));
    EXPECT_EQ(item.kind, ShellItemKind::kFileEntry);
    EXPECT_EQ(item.name, "R\xC3\xA9sum\xC3\xA9 2024.docx");
    EXPECT_EQ(item.shortName, "RSUM20~1.DOC");
    EXPECT_EQ(item.fileSize, 70000u);
    EXPECT_EQ(item.modified, FileTimeOf(2024, 2, 29, 23, 59, 58));
    EXPECT_EQ(item.created, FileTimeOf(2023, 1, 2, 3, 4, 6));
    EXPECT_EQ(item.accessed, FileTimeOf(2024, 3, 1, 0, 0, 0));
    EXPECT_EQ(item.mftReference, version >= 7 ? 0x0005000000001234u : 0u);
  }
}

TEST(ShellItems, OlderAndWrappedFileEntriesFindTheirNames) {
  // Before XP: the long name first, then the short one, no extension block.
  ByteWriter preXp;
  preXp.U16(0).U8(0x32).U8(0).U32(10).U16(test::FatDate(1999, 12, 31)).U16(0).U16(0x20);
  preXp.Ansi("Long File Name.txt").Ansi("LONGFI~1.TXT").PutU16(0, static_cast<uint32_t>(preXp.size()));
  ShellItem item = Decode(preXp.bytes());
  EXPECT_EQ(item.name, "Long File Name.txt");
  EXPECT_EQ(item.shortName, "LONGFI~1.TXT");
  EXPECT_EQ(item.modified, FileTimeOf(1999, 12, 31, 0, 0, 0));

  // The format documentation's 0x74 delegate example: a "CFSF" file entry,
  // the delegate GUIDs, then a version 9 extension block.
  ByteVector delegate = FromHex(
      "8200 7400 1c00 43465346 1600 3100 00000000 ae4624b1 1200 417070446174610000 00"
      "741a595e96dfd3488d671733bcee28ba c5cdfadf9f6756418947c5c76bc0b67f"
      "4000 0900 0400efbe ae4624b1 ae4624b1 2e00 0000 159d020000000100 0000000000000000"
      "0000 00000000 eee37300 4100700070004400610074006100 0000 4200");
  ASSERT_EQ(delegate.size(), 130u);
  item = Decode(delegate);
  EXPECT_EQ(item.kind, ShellItemKind::kFileEntry);
  EXPECT_EQ(item.name, "AppData");
  EXPECT_EQ(item.shortName, "AppData");
  EXPECT_EQ(item.modified, FileTimeOf(2015, 5, 14, 22, 9, 8));
  EXPECT_EQ(item.mftReference, 0x29D15u | (uint64_t{1} << 48));
}

TEST(ShellItems, PathsStartAfreshAtDrivesSharesAndUris) {
  auto named = [](std::string name, ShellItemKind kind = ShellItemKind::kFileEntry) {
    ShellItem item;
    item.name = std::move(name);
    item.kind = kind;
    return item;
  };
  const ShellItem unnamed;
  struct Case {
    std::vector<ShellItem> items;
    std::string path;
  };
  const std::vector<Case> cases = {
      {{named("My Computer", ShellItemKind::kRootFolder), named("C:\\", ShellItemKind::kVolume), named("Users"),
        named("x"), named("file.txt")},
       "C:\\Users\\x\\file.txt"},
      {{named("Network", ShellItemKind::kRootFolder), named("\\\\controller"), named("\\\\controller\\share"),
        named("a.doc")},
       "\\\\controller\\share\\a.doc"},
      {{named("Desktop", ShellItemKind::kRootFolder), unnamed, named("notes.txt")}, "Desktop\\notes.txt"},
      {{named("Internet Explorer", ShellItemKind::kRootFolder), named("ftp://host", ShellItemKind::kUri), named("pub"),
        named("x.zip")},
       "ftp://host/pub/x.zip"},
      {{}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ShellItemPath(c.items), c.path);
}

TEST(ShellItems, DamagedItemsEndTheListOrLoseOnlyWhatIsDamaged) {
  const ByteVector root = test::RootFolderItem("{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
  ByteVector list = test::IdList({root, test::VolumeItem("C:\\")});
  list.resize(list.size() - 6);  // the volume item now runs past the end
  EXPECT_EQ(DecodeIdList(list).size(), 1u);

  ByteVector unterminated = root;
  unterminated.insert(unterminated.end(), root.begin(), root.end());
  EXPECT_EQ(DecodeIdList(unterminated).size(), 2u);

  for (uint8_t size : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
    ByteVector tiny{size, 0, 0x1F};
    EXPECT_FALSE(DecodeShellItem(tiny).has_value());
    EXPECT_TRUE(DecodeIdList(tiny).empty());
  }

  test::FileEntryLayout layout;
  layout.primaryName = "SHORT.TXT";
  layout.longName = u"A long name.txt";
  layout.modifiedDate = test::FatDate(2020, 13, 1);  // no such month
  ByteVector entry = test::FileEntryItem(layout);
  const size_t block = entry.size() - 2;
  const size_t extensionAt = entry[block] | (entry[block + 1] << 8);
  entry[extensionAt] = 0xFF;  // the block claims more than the item holds
  const ShellItem item = Decode(entry);
  EXPECT_EQ(item.name, "SHORT.TXT");
  EXPECT_EQ(item.created, 0u);
  EXPECT_EQ(item.modified, 0u);
}

}  // namespace
}  // namespace tmr
