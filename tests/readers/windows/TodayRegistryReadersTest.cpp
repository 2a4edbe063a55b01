// Today's Windows categories that read the registry, against Wine's
// registry through a scratch root: values built as Windows writes them,
// and the real user and classes hives.
#include <gtest/gtest.h>

#include "core/UserAssist.h"
#include "platform/WinText.h"
#include "readers/windows/TodayCells.h"
#include "readers/windows/TodayReaders.h"
#include "support/RealHives.h"
#include "support/ShellFormatBuilder.h"

namespace tmr {
namespace {

using test::Cell;
using test::CellRow;
using test::NoCell;
using test::NumberCell;
using test::TextCell;
using test::TimeCell;

const std::string kClassesBags = "Software\\Classes\\" + kClassesBagMruKey;

std::string Bytes(const test::ByteVector& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string Utf16Z(std::u16string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2) + std::string(2, '\0');
}

// The key's last write time as the registry itself tells it.
Cell KeyTime(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  FILETIME written{};
  if (RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return NoCell();
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   &written);
  RegCloseKey(key);
  return TimeCell((uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime);
}

class TodayRegistryReadersTest : public ::testing::Test {
 protected:
  const std::vector<CellRow>& Show(Category category) {
    list_ = test::RecordingList();
    const std::string before = scratch_.Dump();
    test::ShowInRecorder(category, list_);
    EXPECT_EQ(scratch_.Dump(), before);
    test::ExpectCellsOfTheColumns(category, list_);
    return list_.cells;
  }
  std::vector<std::string> FirstColumn() const { return list_.FirstColumn(); }

  test::ScratchRegistry scratch_;
  test::RecordingList list_;
};

TEST_F(TodayRegistryReadersTest, NoKeysNoRows) {
  for (Category category : {Category::kProgramsRun, Category::kFoldersOpened, Category::kRemoteDesktop,
                            Category::kOfficeDocuments, Category::kStartupPrograms}) {
    SCOPED_TRACE(Categories().Of(category).key);
    EXPECT_TRUE(Show(category).empty());
    EXPECT_EQ(list_.panel2, "Total Records: 0");
  }
}

TEST_F(TodayRegistryReadersTest, ProgramsRunTakesLongNamesAndLeavesOutWhatCountsNothing) {
  const std::string seven = kUserAssistKey + "\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count";
  test::ByteWriter counts;
  counts.U32(0).U32(6).U32(9).U32(639515).Zeros(44).U64(0x01D2A0B0C0D0E0F0).U32(0);
  // Far longer than the 20 characters a plain name listing stops at.
  scratch_.SetBinary(HKEY_CURRENT_USER, seven, Rot13("{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\cmd.exe"),
                     Bytes(counts.bytes()));
  scratch_.SetBinary(HKEY_CURRENT_USER, seven, Rot13("UEME_CTLSESSION"), std::string(1612, '\0'));
  scratch_.SetBinary(HKEY_CURRENT_USER, seven, Rot13("UEME_CTLCUACount:ctor"), Bytes(counts.bytes()));
  scratch_.SetBinary(HKEY_CURRENT_USER, seven, Rot13("C:\\odd.exe"), std::string(10, '\1'));
  const std::string xp = kUserAssistKey + "\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count";
  test::ByteWriter xpCounts;
  xpCounts.U32(3).U32(8).U64(0x01C8000000000000);
  scratch_.SetBinary(HKEY_CURRENT_USER, xp, Rot13("UEME_RUNPATH:C:\\WINDOWS\\notepad.exe"), Bytes(xpCounts.bytes()));

  EXPECT_EQ(
      Show(Category::kProgramsRun),
      (std::vector<CellRow>{
          {TextCell("C:\\WINDOWS\\notepad.exe"), NumberCell(3), NoCell(), TimeCell(0x01C8000000000000)},
          {TextCell("%windir%\\System32\\cmd.exe"), NumberCell(6), NumberCell(639515), TimeCell(0x01D2A0B0C0D0E0F0)}}));
}

TEST_F(TodayRegistryReadersTest, FoldersOpenedBuildPathsDownBothTrees) {
  const std::string bags = kClassesBags;
  scratch_.SetBinary(HKEY_CURRENT_USER, bags, "0",
                     Bytes(test::RootFolderItem("{20D04FE0-3AEA-1069-A2D8-08002B30309D}")));
  scratch_.SetBinary(HKEY_CURRENT_USER, bags, "MRUListEx", "\0\0\0\0\xff\xff\xff\xff");
  scratch_.SetBinary(HKEY_CURRENT_USER, bags + "\\0", "0", Bytes(test::VolumeItem("C:\\")));
  // Its size claims more bytes than the value holds: it and what lies
  // below it are left out.
  test::ByteVector damaged = test::FileEntryItem({.primaryName = "LOST", .longName = u"lost", .classType = 0x31});
  damaged[0] = static_cast<uint8_t>(damaged.size() + 10);
  scratch_.SetBinary(HKEY_CURRENT_USER, bags + "\\0", "1", Bytes(damaged));
  scratch_.SetBinary(HKEY_CURRENT_USER, bags + "\\0\\1", "0",
                     Bytes(test::FileEntryItem({.primaryName = "BELOW", .longName = u"below", .classType = 0x31})));
  scratch_.SetBinary(HKEY_CURRENT_USER, bags + "\\0\\0", "0",
                     Bytes(test::FileEntryItem({.primaryName = "USERS", .longName = u"Users", .classType = 0x31})));
  scratch_.CreateKey(HKEY_CURRENT_USER, bags + "\\0\\0\\0");
  // The user's own hive, its slots in number order (not as written).
  scratch_.SetBinary(HKEY_CURRENT_USER, kUserBagMruKey, "10", Bytes(test::NetworkItem(0xC3, "\\\\ten\\share")));
  scratch_.SetBinary(HKEY_CURRENT_USER, kUserBagMruKey, "2", Bytes(test::NetworkItem(0xC3, "\\\\two\\share")));

  EXPECT_EQ(Show(Category::kFoldersOpened),
            (std::vector<CellRow>{{TextCell("My Computer"), KeyTime(HKEY_CURRENT_USER, bags + "\\0")},
                                  {TextCell("C:\\"), KeyTime(HKEY_CURRENT_USER, bags + "\\0\\0")},
                                  {TextCell("C:\\Users"), KeyTime(HKEY_CURRENT_USER, bags + "\\0\\0\\0")},
                                  {TextCell("\\\\two\\share"), NoCell()},
                                  {TextCell("\\\\ten\\share"), NoCell()}}));
}

TEST_F(TodayRegistryReadersTest, FoldersOpenedOfTheRealHives) {
  if (test::LoadRealHive(scratch_, L"usrclass.reg") == 0 || test::LoadRealHive(scratch_, L"ntuser-win7.reg") == 0) {
    GTEST_SKIP() << "the converted hives are missing (hivexregedit?)";
  }
  Show(Category::kFoldersOpened);
  // Items that name nothing (a Control Panel item by an unknown GUID, a
  // shell extension's item) give no row of their own.
  EXPECT_EQ(FirstColumn(),
            (std::vector<std::string>{"Control Panel", "Control Panel\\Appearance and Personalization", "My Computer",
                                      "My Computer\\My Pictures", "Network", "\\\\controller\\WebDavShare"}));
}

TEST_F(TodayRegistryReadersTest, ProgramsRunOfTheRealHive) {
  if (test::LoadRealHive(scratch_, L"ntuser-win7.reg") == 0) GTEST_SKIP() << "the converted hive is missing";
  const std::vector<CellRow>& rows = Show(Category::kProgramsRun);
  // 60 programs and 28 shortcuts; the two keys' session and counter values
  // count nothing.
  EXPECT_EQ(rows.size(), 88u);
  const auto cmd = std::find_if(rows.begin(), rows.end(),
                                [](const CellRow& row) { return row[0].text == "%windir%\\System32\\cmd.exe"; });
  ASSERT_NE(cmd, rows.end());
  EXPECT_EQ(*cmd, (CellRow{TextCell("%windir%\\System32\\cmd.exe"), NumberCell(6), NumberCell(639515),
                           TimeCell(129782120740930000)}));
}

TEST_F(TodayRegistryReadersTest, RemoteDesktopOfficeAndStartupKeys) {
  const std::string rdp = kRemoteDesktopKey;
  scratch_.SetString(HKEY_CURRENT_USER, rdp + "\\Default", "MRU1", "files.example.local");
  scratch_.SetString(HKEY_CURRENT_USER, rdp + "\\Default", "MRU0", "10.0.0.5");
  scratch_.SetString(HKEY_CURRENT_USER, rdp + "\\Servers\\10.0.0.5", "UsernameHint", "CORP\\anna");
  scratch_.SetString(HKEY_CURRENT_USER, rdp + "\\Servers\\OLD-HOST", "UsernameHint", "admin");
  scratch_.SetString(HKEY_CURRENT_USER, rdp + "\\Servers\\files.EXAMPLE.local", "CertHash", "x");
  EXPECT_EQ(Show(Category::kRemoteDesktop),
            (std::vector<CellRow>{
                {TextCell("10.0.0.5"), TextCell("CORP\\anna"), KeyTime(HKEY_CURRENT_USER, rdp + "\\Servers\\10.0.0.5")},
                {TextCell("files.example.local"), TextCell(""),
                 KeyTime(HKEY_CURRENT_USER, rdp + "\\Servers\\files.example.local")},
                {TextCell("OLD-HOST"), TextCell("admin"), KeyTime(HKEY_CURRENT_USER, rdp + "\\Servers\\OLD-HOST")}}));

  const std::string word = kOfficeKey + "\\16.0\\Word\\File MRU";
  scratch_.SetString(HKEY_CURRENT_USER, word, "Item 2", "[F00000000][T01D9A0B1C2D3E4F5][O00000000]*C:\\Docs\\b.docx");
  scratch_.SetString(HKEY_CURRENT_USER, word, "Item 1", "[F00000000][T01DA000000000000][O00000000]*C:\\Docs\\a.docx");
  scratch_.SetString(HKEY_CURRENT_USER, word, "Item Metadata 1", "<Metadata />");
  scratch_.SetDword(HKEY_CURRENT_USER, word, "Max Display", 25);
  scratch_.SetString(HKEY_CURRENT_USER, kOfficeKey + "\\16.0\\Excel\\User MRU\\ADAL_1A2B\\File MRU", "Item 1",
                     "[F00000000][T01DA000000000001][O00000000]*https://x.example/b.xlsx");
  scratch_.SetString(HKEY_CURRENT_USER, kOfficeKey + "\\14.0\\Word\\File MRU", "Item 1", "C:\\old.doc");
  EXPECT_EQ(
      Show(Category::kOfficeDocuments),
      (std::vector<CellRow>{{TextCell("C:\\old.doc"), TextCell("Word"), NoCell()},
                            {TextCell("https://x.example/b.xlsx"), TextCell("Excel"), TimeCell(0x01DA000000000001)},
                            {TextCell("C:\\Docs\\a.docx"), TextCell("Word"), TimeCell(0x01DA000000000000)},
                            {TextCell("C:\\Docs\\b.docx"), TextCell("Word"), TimeCell(0x01D9A0B1C2D3E4F5)}}));

  scratch_.SetRaw(HKEY_CURRENT_USER, kRunKey, "SecurityHealth", REG_EXPAND_SZ,
                  Utf16Z(u"%windir%\\system32\\SecurityHealthSystray.exe"));
  scratch_.SetDword(HKEY_CURRENT_USER, kRunKey, "NotACommand", 1);
  scratch_.SetString(HKEY_CURRENT_USER, kRunOnceKey, "Setup", "C:\\setup.exe /resume");
  const std::string machineRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string machineRun32 = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
  scratch_.SetString(HKEY_LOCAL_MACHINE, machineRun, "Audio", "\"C:\\Program Files\\Audio\\tray.exe\" -s");
  scratch_.SetString(HKEY_LOCAL_MACHINE, machineRun32, "Updater", "C:\\u.exe");
  EXPECT_EQ(Show(Category::kStartupPrograms),
            (std::vector<CellRow>{
                {TextCell("SecurityHealth"), TextCell("%windir%\\system32\\SecurityHealthSystray.exe"),
                 TextCell("HKEY_CURRENT_USER\\" + kRunKey), KeyTime(HKEY_CURRENT_USER, kRunKey)},
                {TextCell("Setup"), TextCell("C:\\setup.exe /resume"), TextCell("HKEY_CURRENT_USER\\" + kRunOnceKey),
                 KeyTime(HKEY_CURRENT_USER, kRunOnceKey)},
                {TextCell("Audio"), TextCell("\"C:\\Program Files\\Audio\\tray.exe\" -s"),
                 TextCell("HKEY_LOCAL_MACHINE\\" + machineRun), KeyTime(HKEY_LOCAL_MACHINE, machineRun)},
                {TextCell("Updater"), TextCell("C:\\u.exe"), TextCell("HKEY_LOCAL_MACHINE\\" + machineRun32),
                 KeyTime(HKEY_LOCAL_MACHINE, machineRun32)}}));
}

}  // namespace
}  // namespace tmr
