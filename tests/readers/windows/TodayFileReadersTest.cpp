// Today's Windows categories that read files: the real jump lists, $I file
// and activity history copied into a temp profile, and files built from the
// formats for what the samples lack (damage among them).
#include <gtest/gtest.h>

#include <algorithm>

#include "readers/browsers/ActivityReaders.h"
#include "readers/windows/TodayCells.h"
#include "readers/windows/TodayReaders.h"
#include "support/BrowserTestSupport.h"
#include "support/ScratchTraceSource.h"
#include "support/ScratchDatabase.h"
#include "support/ShellFormatBuilder.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;
using test::CellRow;
using test::NoCell;
using test::NumberCell;
using test::TextCell;
using test::TimeCell;
using test::UnixTimeCell;

const char kExplorerList[] = "windows-today/1b4dd67f29cb1962.automaticDestinations-ms";
const char kCustomList[] = "windows-today/5afe4de1b92fc382.customDestinations-ms";

std::string AsText(const test::ByteVector& bytes) { return std::string(bytes.begin(), bytes.end()); }

class TodayFileReadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_.folders = {{TraceFolder::kRecent, Path("Recent")},
                       {TraceFolder::kAppData, Path("Roaming")},
                       {TraceFolder::kLocalAppData, Path("Local")}};
    context_.source = &source_;
  }
  std::string Path(const std::string& relative) const { return (profile_.path() / relative).string(); }
  void Write(const std::string& relative, const std::string& bytes) { profile_.Write(relative, bytes); }
  // Every file of the profile with its hash, to show that reading changed
  // and added nothing.
  std::vector<std::string> Hashes() const {
    std::vector<std::string> hashes;
    for (const auto& entry : fs::recursive_directory_iterator(profile_.path())) {
      if (entry.is_regular_file()) hashes.push_back(entry.path().string() + " " + test::Sha256OfFile(entry.path()));
    }
    std::sort(hashes.begin(), hashes.end());
    return hashes;
  }
  const std::vector<CellRow>& Show(Category category) {
    list_ = test::RecordingList();
    test::ShowInRecorder(category, list_, context_);
    test::ExpectCellsOfTheColumns(category, list_);
    return list_.cells;
  }

  test::TempDir profile_;
  test::ScratchRegistry scratch_;
  test::ScratchTraceSource source_;
  ReadContext context_;
  test::RecordingList list_;
};

TEST_F(TodayFileReadersTest, NoFilesNoRowsAndNoFolderMade) {
  source_.driveRoots = {Path("C") + "\\"};
  source_.sid = "S-1-5-21-1-2-3-1001";
  for (Category category :
       {Category::kJumpLists, Category::kRecycleBin, Category::kPowerShellHistory, Category::kWindowsTimeline}) {
    SCOPED_TRACE(Categories().Of(category).key);
    EXPECT_TRUE(Show(category).empty());
    EXPECT_EQ(list_.panel2, "Total Records: 0");
  }
  EXPECT_TRUE(fs::is_empty(profile_.path()));
}

TEST_F(TodayFileReadersTest, JumpListsJoinEntriesToLinksAndNameTheirPrograms) {
  const std::string automatic = test::ReadFixture(kExplorerList);
  const std::string custom = test::ReadFixture(kCustomList);
  if (automatic.empty() || custom.empty()) GTEST_SKIP() << "fixtures missing";
  Write("Recent/AutomaticDestinations/1b4dd67f29cb1962.automaticDestinations-ms", automatic);
  Write("Recent/AutomaticDestinations/1b4dd67f29cb1962.txt", automatic);  // not a jump list by its name
  Write("Recent/CustomDestinations/5afe4de1b92fc382.customDestinations-ms", custom);
  const std::vector<std::string> before = Hashes();

  const std::vector<CellRow>& rows = Show(Category::kJumpLists);
  ASSERT_EQ(rows.size(), 7u + 9u);
  // The most recent entry first: the link's header gives the target's times.
  EXPECT_EQ(rows[0], (CellRow{TextCell("C:\\Users\\bperry\\Downloads"), TextCell("Windows Explorer"),
                              TimeCell(0x01D0E26FF30771E0), TextCell("No"), TimeCell(0x01D0DF20F994068F),
                              TimeCell(0x01D0E25BA8941F73), TimeCell(0x01D0E25BA8941F73), NumberCell(4096)}));
  // The link's file system path, not the DestList's shell parsing name.
  EXPECT_EQ(rows[2][0].text, "C:\\Users\\bperry\\AppData\\Roaming\\Microsoft\\Windows\\Libraries\\Pictures.library-ms");
  // A custom list: the AppID nobody knows, no time of use, no pins.
  for (std::size_t i = 7; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i][0].text, "C:\\Windows\\System32\\GettingStarted.exe");
    EXPECT_EQ(rows[i][1].text, "5afe4de1b92fc382");
    EXPECT_EQ(rows[i][2], NoCell());
    EXPECT_EQ(rows[i][3], NoCell());
  }
  EXPECT_EQ(Hashes(), before);
}

TEST_F(TodayFileReadersTest, DamagedJumpListsCostNoMoreThanTheirRows) {
  const std::string automatic = test::ReadFixture(kExplorerList);
  if (automatic.empty()) GTEST_SKIP() << "fixture missing";
  // A DestList long enough for sectors of its own, whose chain loops back.
  std::vector<test::DestListRow> entries;
  for (uint32_t i = 1; i <= 40; ++i)
    entries.push_back(
        {.entryNumber = i, .lastOpened = 0x01D0000000000000u + i, .path = u"C:\\looped\\" + std::u16string(40, u'x')});
  test::BuiltCompound looped =
      test::BuildCompoundFile({.streams = {{"DestList", test::BuildDestList(3, entries)},
                                           {"1", test::BuildLink({.localBasePath = u"C:\\looped\\one.txt"})}}});
  const uint32_t start = looped.streamStart[0];
  for (int i = 0; i < 4; ++i) looped.bytes[looped.fatAt + (start + 2) * 4 + i] = static_cast<uint8_t>(start >> (8 * i));

  const std::string folder = "Recent/AutomaticDestinations/";
  Write(folder + "0looped.automaticDestinations-ms", AsText(looped.bytes));
  Write(folder + "1garbage.automaticDestinations-ms", std::string(3000, '\xD0'));
  Write(folder + "2cut.automaticDestinations-ms", automatic.substr(0, automatic.size() / 2));
  Write(folder + "3whole.automaticDestinations-ms", automatic);
  Write("Recent/CustomDestinations/cut.customDestinations-ms", test::ReadFixture(kCustomList).substr(0, 5000));

  const std::vector<CellRow>& rows = Show(Category::kJumpLists);
  // The looped list gives at most its 40 entries, the garbage nothing, the
  // cut list what its first half holds; the whole list after them all 7.
  const auto rowsOf = [&rows](std::string_view application) {
    return std::count_if(rows.begin(), rows.end(), [&](const CellRow& row) { return row[1].text == application; });
  };
  EXPECT_LE(rowsOf("0looped"), 40);
  EXPECT_EQ(rowsOf("1garbage"), 0);
  EXPECT_LE(rowsOf("2cut"), 7);
  EXPECT_EQ(rowsOf("3whole"), 7);
  EXPECT_LT(rowsOf("cut"), 9);
  EXPECT_EQ(rows.front()[1].text, "0looped");
  EXPECT_EQ(rows.front()[2], TimeCell(0x01D0000000000001));
}

// A $I file as Windows 10 writes it: version 2, a character count, the path.
std::string RecycleEntry(uint64_t size, uint64_t deleted, std::u16string path, uint32_t count) {
  test::ByteWriter bytes;
  bytes.U64(2).U64(size).U64(deleted).U32(count).Utf16(path);
  return AsText(bytes.bytes());
}

TEST_F(TodayFileReadersTest, RecycleBinListsTheUsersBinOnEveryDrive) {
  const std::string real = test::ReadFixture("windows-today/$I103S5F.jpg");
  if (real.empty()) GTEST_SKIP() << "fixture missing";
  const std::string sid = "S-1-5-21-1-2-3-1001";
  source_.sid = sid;
  source_.driveRoots = {Path("C") + "\\", Path("D")};
  const std::string c = "C/$Recycle.Bin/" + sid + "/";
  const std::string d = "D/$Recycle.Bin/" + sid + "/";
  Write(c + "$I103S5F.jpg", real);
  Write(c + "$R103S5F.jpg", "jpeg");
  Write(d + "$IAAAAAA.txt", RecycleEntry(12, 0x01DB000000000000, u"D:\\notes.txt", 13));
  // A deleted folder keeps its data as a folder.
  fs::create_directories(profile_.path() / d / "$IBBBBBB");
  Write(d + "$RCCCCCC/a.txt", "a");
  Write(d + "$ICCCCCC", RecycleEntry(1, 0x01DB000000000001, u"D:\\old", 7));
  Write(d + "$IHOSTILE.txt", RecycleEntry(1, 1, u"D:\\x", 0x7FFFFFFF));  // a count no path has
  Write("C/$Recycle.Bin/S-1-5-21-9-9-9-1002/$IOTHER.txt", RecycleEntry(1, 1, u"C:\\theirs.txt", 15));
  const std::vector<std::string> before = Hashes();

  EXPECT_EQ(
      Show(Category::kRecycleBin),
      (std::vector<CellRow>{{TextCell("C:\\Users\\random\\Downloads\\bunnies.jpg"), NumberCell(222255),
                             TimeCell(0x01D1D24E7961A720), TextCell("Yes")},
                            {TextCell("D:\\notes.txt"), NumberCell(12), TimeCell(0x01DB000000000000), TextCell("No")},
                            {TextCell("D:\\old"), NumberCell(1), TimeCell(0x01DB000000000001), TextCell("Yes")}}));
  EXPECT_EQ(Hashes(), before);
}

TEST_F(TodayFileReadersTest, PowerShellHistoryNumbersItsCommandsInOrder) {
  Write("Roaming/" + std::string("Microsoft/Windows/PowerShell/PSReadLine/ConsoleHost_history.txt"),
        "\xEF\xBB\xBFGet-ChildItem C:\\\r\n\r\nGet-Process |`\n  Sort-Object CPU\nStop-Process -Name \"x\xC3\xA9\"\n");
  EXPECT_EQ(Show(Category::kPowerShellHistory),
            (std::vector<CellRow>{{TextCell("Get-ChildItem C:\\"), NumberCell(1)},
                                  {TextCell("Get-Process |\n  Sort-Object CPU"), NumberCell(2)},
                                  {TextCell("Stop-Process -Name \"x\xC3\xA9\""), NumberCell(3)}}));
}

TEST_F(TodayFileReadersTest, TimelineReadsEveryAccountsActivities) {
  const std::string real = test::ReadFixture("windows-today/ActivitiesCache.db");
  if (real.empty()) GTEST_SKIP() << "fixture missing";
  Write("Local/ConnectedDevicesPlatform/L.demouser/ActivitiesCache.db", real);
  {
    fs::create_directories(profile_.path() / "Local/ConnectedDevicesPlatform/AAD.made");
    test::ScratchDatabase made(profile_.path() / "Local/ConnectedDevicesPlatform/AAD.made/ActivitiesCache.db");
    made.Exec(
        "CREATE TABLE Activity(AppId TEXT, Payload BLOB, ActivityType INT, StartTime DATETIME, EndTime DATETIME);"
        "INSERT INTO Activity VALUES('[{\"application\":\"C:\\\\x.exe\",\"platform\":\"x_exe_path\"}]', "
        "CAST('{\"displayText\":\"<b>x</b>\",' AS BLOB), 5, 1600000000, 1600000060);"
        "INSERT INTO Activity VALUES('not json', NULL, 6, -5, 'later');");
  }
  const std::vector<std::string> before = Hashes();

  const std::vector<CellRow>& rows = Show(Category::kWindowsTimeline);
  ASSERT_EQ(rows.size(), 2u + 112u);
  // Damaged texts give what they hold; times that are none give nothing.
  EXPECT_EQ(rows[0], (CellRow{NoCell(), NoCell(), NoCell(), NoCell()}));
  EXPECT_EQ(rows[1],
            (CellRow{TextCell("C:\\x.exe"), TextCell("<b>x</b>"), UnixTimeCell(1600000000), UnixTimeCell(1600000060)}));
  const std::string settings = "windows.immersivecontrolpanel_cw5n1h2txyewy!microsoft.windows.immersivecontrolpanel";
  EXPECT_EQ(rows[2], (CellRow{TextCell(settings), TextCell("Settings"), UnixTimeCell(1532520280), NoCell()}));
  EXPECT_EQ(rows[3], (CellRow{TextCell(settings), TextCell("In use for 790 s"), UnixTimeCell(1532520280),
                              UnixTimeCell(1532521575)}));
  const auto notepad =
      std::find_if(rows.begin(), rows.end(), [](const CellRow& row) { return row[1].text == "Notepad"; });
  ASSERT_NE(notepad, rows.end());
  EXPECT_EQ((*notepad)[0].text, "%windir%\\System32\\notepad.exe");
  EXPECT_EQ((*notepad)[2], UnixTimeCell(1532530043));
  EXPECT_EQ(Hashes(), before);  // no -wal or -shm beside the files either
}

}  // namespace
}  // namespace tmr
