// Shell links: the real sample for the header, strings and extra data, and
// built links for LinkInfo in its ANSI, Unicode and network forms and for
// every way a link can be cut short.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ShellLink.h"
#include "support/Fixtures.h"
#include "support/ShellFormatBuilder.h"

namespace tmr {
namespace {

using test::ByteVector;

std::span<const uint8_t> AsBytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

ByteVector NotepadIdList() {
  test::FileEntryLayout windows{.primaryName = "WINDOWS", .longName = u"Windows", .classType = 0x31};
  test::FileEntryLayout notepad{.primaryName = "notepad.exe", .longName = u"notepad.exe"};
  return test::IdList({test::RootFolderItem("{20D04FE0-3AEA-1069-A2D8-08002B30309D}"), test::VolumeItem("C:\\"),
                       test::FileEntryItem(windows), test::FileEntryItem(notepad)});
}

TEST(ShellLink, RealLinkGivesHeaderStringsAndExtraData) {
  const std::string file = test::ReadFixture("windows-today/example.lnk");
  if (file.empty()) GTEST_SKIP() << "fixture missing";
  const std::optional<ShellLinkInfo> link = ParseShellLink(AsBytes(file));
  ASSERT_TRUE(link.has_value());
  EXPECT_EQ(link->flags, 0x020003DCu);
  EXPECT_EQ(link->attributes, 0x20u);
  EXPECT_EQ(link->created, 0x01CA0411B4D8042Eu);
  EXPECT_EQ(link->accessed, 0x01CA0411B4D8042Eu);
  EXPECT_EQ(link->written, 0x01CA0423E72AF8C0u);
  EXPECT_EQ(link->fileSize, 0x85000u);
  EXPECT_EQ(link->showCommand, 1u);
  EXPECT_EQ(link->name, "@%windir%\\system32\\migwiz\\wet.dll,-590");
  EXPECT_EQ(link->relativePath, ".\\migwiz\\migwiz.exe");
  EXPECT_EQ(link->workingDir, "%windir%\\system32\\migwiz");
  EXPECT_EQ(link->iconLocation, "%windir%\\system32\\migwiz\\migwiz.exe");
  EXPECT_EQ(link->arguments, "");
  EXPECT_EQ(link->machineId, "win-tj9qcsjkags");
  EXPECT_TRUE(link->complete);
  EXPECT_EQ(link->size, file.size());
  // No LinkInfo and no ID list: the environment block names the target.
  EXPECT_TRUE(link->idList.empty());
  EXPECT_EQ(link->TargetPath(), "%windir%\\system32\\migwiz\\migwiz.exe");
}

TEST(ShellLink, TargetPathPrefersLinkInfoThenTheIdList) {
  struct Case {
    const char* what;
    test::LinkLayout layout;
    std::string target;
  };
  const std::vector<Case> cases = {
      {"local path, Unicode form over the ANSI one",
       {.idList = NotepadIdList(), .localBasePath = u"C:\\Users\\Zo\u00eb\\", .commonPathSuffix = u"report.txt"},
       "C:\\Users\\Zo\xC3\xAB\\report.txt"},
      {"local path, ANSI only", {.localBasePath = u"C:\\data", .unicodeLinkInfo = false}, "C:\\data"},
      {"network share and suffix",
       {.netName = u"\\\\server\\share", .commonPathSuffix = u"dir\\a.txt"},
       "\\\\server\\share\\dir\\a.txt"},
      {"network share, ANSI only", {.netName = u"\\\\nas\\media", .unicodeLinkInfo = false}, "\\\\nas\\media"},
      {"ID list only", {.idList = NotepadIdList()}, "C:\\Windows\\notepad.exe"},
      {"nothing", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<ShellLinkInfo> link = ParseShellLink(test::BuildLink(c.layout));
    ASSERT_TRUE(link.has_value());
    EXPECT_TRUE(link->complete);
    EXPECT_EQ(link->TargetPath(), c.target);
    EXPECT_EQ(link->hasVolume, c.layout.localBasePath.has_value());
  }
  const std::optional<ShellLinkInfo> local = ParseShellLink(test::BuildLink(cases[0].layout));
  EXPECT_EQ(local->driveType, 3u);
  EXPECT_EQ(local->driveSerial, 0x1234ABCDu);
  EXPECT_EQ(local->idList.size(), 4u);
}

TEST(ShellLink, StringsFollowTheUnicodeFlagAndTheSizeIgnoresWhatFollows) {
  for (bool unicode : {true, false}) {
    SCOPED_TRACE(unicode);
    test::LinkLayout layout{.unicodeStrings = unicode,
                            .name = u"Open the notes",
                            .workingDir = u"C:\\notes",
                            .arguments = u"/read \"a b.txt\"",
                            .machineId = "desk-01"};
    ByteVector bytes = test::BuildLink(layout);
    const size_t linkSize = bytes.size();
    bytes.insert(bytes.end(), {0x4C, 0, 0, 0, 0xAA, 0xBB});  // whatever comes next in a jump list
    const std::optional<ShellLinkInfo> link = ParseShellLink(bytes);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->name, "Open the notes");
    EXPECT_EQ(link->workingDir, "C:\\notes");
    EXPECT_EQ(link->arguments, "/read \"a b.txt\"");
    EXPECT_EQ(link->relativePath, "");
    EXPECT_EQ(link->machineId, "desk-01");
    EXPECT_EQ(link->size, linkSize);
  }
}

TEST(ShellLink, EveryCutKeepsTheHeaderAndNeverPassesForWhole) {
  const test::LinkLayout layout{.idList = NotepadIdList(),
                                .localBasePath = u"C:\\Windows\\notepad.exe",
                                .name = u"Notepad",
                                .machineId = "desk-01",
                                .written = 0x01D0E26FF30771E0};
  const ByteVector full = test::BuildLink(layout);
  for (size_t cut = 0; cut <= full.size(); ++cut) {
    const std::optional<ShellLinkInfo> link = ParseShellLink(std::span(full).first(cut));
    if (cut < kLinkHeaderSize) {
      EXPECT_FALSE(link.has_value()) << cut;
      continue;
    }
    ASSERT_TRUE(link.has_value()) << cut;
    EXPECT_EQ(link->written, 0x01D0E26FF30771E0u);
    EXPECT_EQ(link->complete, cut == full.size()) << cut;
    EXPECT_LE(link->size, cut);
  }
  EXPECT_EQ(ParseShellLink(full)->TargetPath(), "C:\\Windows\\notepad.exe");
}

TEST(ShellLink, SizesAndOffsetsThatPointOutsideAreRefused) {
  ByteVector notLink = test::BuildLink({});
  notLink[4] ^= 1;  // another CLSID
  EXPECT_FALSE(ParseShellLink(notLink).has_value());

  ByteVector wildIdList = test::BuildLink({.idList = NotepadIdList()});
  wildIdList[kLinkHeaderSize] = 0xFF;
  wildIdList[kLinkHeaderSize + 1] = 0xFF;
  std::optional<ShellLinkInfo> link = ParseShellLink(wildIdList);
  EXPECT_FALSE(link->complete);
  EXPECT_TRUE(link->idList.empty());

  ByteVector wildExtra = test::BuildLink({.machineId = "desk-01"});
  wildExtra[kLinkHeaderSize] = 0xFF;  // the tracker block's size, now far past the end
  wildExtra[kLinkHeaderSize + 3] = 0x7F;
  link = ParseShellLink(wildExtra);
  EXPECT_FALSE(link->complete);
  EXPECT_EQ(link->machineId, "");

  // LinkInfo whose inner offsets point past it: the texts stay empty.
  ByteVector wildOffsets = test::BuildLink({.localBasePath = u"C:\\x", .commonPathSuffix = u"y"});
  for (size_t field : {12, 16, 24, 28, 32}) wildOffsets[kLinkHeaderSize + field + 1] = 0x7F;
  link = ParseShellLink(wildOffsets);
  EXPECT_TRUE(link->complete);
  EXPECT_EQ(link->TargetPath(), "");
}

}  // namespace
}  // namespace tmr
