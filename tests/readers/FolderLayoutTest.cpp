// The folder source on the layouts it is given: a profile folder alone, a
// volume with several users and a system of its own, hives with logs, hives
// that are damaged or held open by another program.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/OpenFolderDialog.h"
#include "app/SettingsFile.h"
#include "core/HiveFormat.h"
#include "core/ProgramState.h"
#include "platform/Handles.h"
#include "readers/FolderTraceSource.h"
#include "support/Fixtures.h"
#include "support/HiveBuilder.h"
#include "support/RecordingList.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

constexpr char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

std::string Bytes(const std::vector<test::TreeKey>& keys) {
  const std::vector<uint8_t> hive = test::BuildHiveTree(keys);
  return {hive.begin(), hive.end()};
}

// One typed path, and an open/save entry of the list systems before Vista
// keep.
std::string UserHive(const std::u16string& name) {
  return Bytes({{std::string(kExplorer) + "\\TypedPaths", {{"url1", REG_SZ, test::SzData(u"\\\\" + name)}}},
                {std::string(kExplorer) + "\\ComDlg32\\OpenSaveMRU\\*",
                 {{"a", REG_SZ, test::SzData(u"C:\\" + name + u"\\plan.doc")}}}});
}

Rows Read(Category category, const TraceSource& source) {
  test::RecordingList list;
  ReadContext context;
  context.source = &source;
  test::ShowInRecorder(category, list, context);
  return list.FirstColumn();
}

class FolderLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedOs_ = OsVersion;
    OsVersion = "Vista";
  }
  void TearDown() override { OsVersion = savedOs_; }
  std::string savedOs_;
  test::TempDir temp_;
};

TEST_F(FolderLayoutTest, AProfileFolderAlone) {
  const std::string real = test::ReadFixture("registry/NTUSER-2.DAT");
  if (real.empty()) GTEST_SKIP() << "fixture missing";
  temp_.Write("jdoe\\NTUSER.DAT", real);
  fs::create_directories(temp_.path() / "jdoe/AppData/Roaming/Microsoft/Windows/Cookies");
  const std::string folder = temp_.str() + "\\jdoe";
  const TraceFolderLayout layout = DescribeTraceFolder(folder + "\\");
  ASSERT_EQ(layout.kind, TraceFolderLayout::Kind::kProfile);
  const FolderTraceSource source(layout, "someone else");

  EXPECT_EQ(source.Name(), folder);
  EXPECT_EQ(source.UserName(), "jdoe");
  EXPECT_EQ(source.ComputerName() + source.UserSid(), "");
  EXPECT_TRUE(source.FixedDriveRoots().empty());
  EXPECT_EQ(source.WindowsFamily(), "Vista");
  EXPECT_EQ(source.Folder(TraceFolder::kHistory), folder + "\\AppData\\Local\\Microsoft\\Windows\\History");
  EXPECT_EQ(source.Folder(TraceFolder::kCookies), folder + "\\AppData\\Roaming\\Microsoft\\Windows\\Cookies");
  EXPECT_EQ(source.Folder(TraceFolder::kCache), "");
  // A newer system's folder wins over an older one's left behind.
  fs::create_directories(temp_.path() / "jdoe/AppData/Local/Microsoft/Windows/INetCookies");
  EXPECT_EQ(source.Folder(TraceFolder::kCookies), folder + "\\AppData\\Local\\Microsoft\\Windows\\INetCookies");

  EXPECT_EQ(Read(Category::kIeTypedUrls, source).size(), 5u);
  EXPECT_TRUE(Read(Category::kUsbStorage, source).empty());
}

TEST_F(FolderLayoutTest, AVolumeWithSeveralUsers) {
  for (const char16_t* user : {u"alice", u"bob", u"Default"}) {
    const std::u16string name(user);
    temp_.Write("Users\\" + std::string(name.begin(), name.end()) + "\\NTUSER.DAT", UserHive(name));
  }
  fs::create_directories(temp_.path() / "Users" / "Public");
  const std::string computerName = "Control\\ComputerName\\ComputerName";
  temp_.Write(
      "Windows\\System32\\config\\SYSTEM",
      Bytes({{"Select", {{"Current", REG_DWORD, std::string("\x02\x00\x00\x00", 4)}}},
             {"ControlSet001\\" + computerName, {{"ComputerName", REG_SZ, test::SzData(u"OLD-NAME")}}},
             {"ControlSet002\\" + computerName, {{"ComputerName", REG_SZ, test::SzData(u"EVIDENCE-PC")}}},
             {"ControlSet002\\Enum\\USBSTOR\\Disk&Ven_X\\1", {{"FriendlyName", REG_SZ, test::SzData(u"X USB")}}}}));
  const std::string profiles = "Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
  temp_.Write(
      "Windows\\System32\\config\\SOFTWARE",
      Bytes({{"Microsoft\\Windows NT\\CurrentVersion", {{"CurrentVersion", REG_SZ, test::SzData(u"5.1")}}},
             {profiles + "S-1-5-21-7-1000",
              {{"ProfileImagePath", REG_EXPAND_SZ, test::SzData(u"%SystemDrive%\\Users\\alice")}}},
             {profiles + "S-1-5-21-7-1001", {{"ProfileImagePath", REG_EXPAND_SZ, test::SzData(u"C:\\Users\\BOB")}}}}));

  const TraceFolderLayout layout = DescribeTraceFolder(temp_.str());
  ASSERT_EQ(layout.kind, TraceFolderLayout::Kind::kVolume);
  EXPECT_EQ(layout.users, (Rows{"alice", "bob", "Default"}));
  // The user chosen last is kept per folder, while the volume has that user.
  const SettingsFile settings(temp_.str() + "\\tmere.ini");
  EXPECT_EQ(PreferredUser(layout, &settings), "alice");
  StoreFolderUser(&settings, layout.folder, "bob");
  EXPECT_EQ(PreferredUser(layout, &settings), "bob");
  StoreFolderUser(&settings, layout.folder, "carol");
  EXPECT_EQ(PreferredUser(layout, &settings), "alice");

  const FolderTraceSource bob(layout, "BOB");
  EXPECT_EQ(bob.UserName(), "bob");
  EXPECT_EQ(bob.ComputerName(), "EVIDENCE-PC");
  EXPECT_EQ(bob.UserSid(), "S-1-5-21-7-1001");
  EXPECT_EQ(bob.FixedDriveRoots(), Rows{temp_.str() + "\\"});
  EXPECT_EQ(bob.Folder(TraceFolder::kAppData), temp_.str() + "\\Users\\bob\\AppData\\Roaming");
  EXPECT_EQ(Read(Category::kTypedPaths, bob), Rows{"\\\\bob"});
  EXPECT_EQ(Read(Category::kUsbStorage, bob), Rows{"X USB"});
  // The volume's system is XP, whatever this PC is: the old open/save list.
  EXPECT_EQ(bob.WindowsFamily(), "xp");
  EXPECT_EQ(Read(Category::kOpenSaveHistory, bob), Rows{"C:\\bob\\plan.doc"});

  const FolderTraceSource alice(layout, "alice");
  EXPECT_EQ(alice.UserSid(), "S-1-5-21-7-1000");
  EXPECT_EQ(Read(Category::kTypedPaths, alice), Rows{"\\\\alice"});
  // No user: the machine's traces alone.
  const FolderTraceSource nobody(layout, "");
  EXPECT_TRUE(Read(Category::kTypedPaths, nobody).empty());
  EXPECT_EQ(Read(Category::kUsbStorage, nobody), Rows{"X USB"});
  EXPECT_EQ(DescribeTraceFolder(temp_.str() + "\\Users").kind, TraceFolderLayout::Kind::kNotTraces);
}

// The last writes reached only the log: the primary file's sequence numbers
// disagree, and the .LOG1 or .LOG2 beside it holds the pages as written.
TEST_F(FolderLayoutTest, ADirtyHiveShowsWhatItsLogsHold) {
  const std::string flushed = UserHive(u"primary-host");
  const std::string logged = UserHive(u"journal-host");
  ASSERT_EQ(flushed.size(), logged.size());
  std::vector<uint8_t> dirty(flushed.begin(), flushed.end());
  const uint32_t sequence = hive::U32(dirty, hive::kSecondarySequenceAt);
  hive::PutU32(dirty, hive::kPrimarySequenceAt, sequence + 1);
  test::SealBaseBlock(dirty);
  std::vector<test::LogPage> pages;
  for (size_t at = hive::kBaseBlockSize; at < logged.size(); at += hive::kPageSize) {
    pages.push_back({static_cast<uint32_t>(at - hive::kBaseBlockSize),
                     std::vector<uint8_t>(logged.begin() + at, logged.begin() + at + hive::kPageSize)});
  }
  const std::vector<uint8_t> log =
      test::BuildLog(dirty, sequence, {{sequence, hive::U32(test::ToBytes(logged), hive::kBinsDataSizeAt), pages}});
  for (const char* logName : {"", "NTUSER.DAT.LOG1", "NTUSER.DAT.LOG2"}) {
    test::TempDir profile;
    profile.Write("NTUSER.DAT", std::string(dirty.begin(), dirty.end()));
    if (*logName) profile.Write(logName, std::string(log.begin(), log.end()));
    const FolderTraceSource source(DescribeTraceFolder(profile.str()), "");
    EXPECT_EQ(Read(Category::kTypedPaths, source), Rows{*logName ? "\\\\journal-host" : "\\\\primary-host"}) << logName;
    EXPECT_EQ(profile.Read("NTUSER.DAT"), std::string(dirty.begin(), dirty.end())) << "the primary file was written";
  }
}

TEST_F(FolderLayoutTest, DamagedHivesGiveFewerRowsNeverACrash) {
  const std::string real = test::ReadFixture("registry/NTUSER-WIN7.DAT");
  if (real.empty()) GTEST_SKIP() << "fixture missing";
  std::string zeroed = real;
  std::fill(zeroed.begin() + 40000, zeroed.begin() + 400000, '\0');
  std::string wildRoot = real;
  wildRoot[36] = '\x7F';
  size_t intactRows = 0;
  for (const std::string& bytes :
       {real, real.substr(0, 200000), zeroed, wildRoot, real.substr(0, 4096), std::string(), std::string(9000, 'x')}) {
    test::TempDir volume;
    for (const char* file : {"Users\\u\\NTUSER.DAT", "Users\\u\\AppData\\Local\\Microsoft\\Windows\\UsrClass.dat",
                             "Windows\\System32\\config\\SYSTEM", "Windows\\System32\\config\\SOFTWARE"}) {
      volume.Write(file, bytes);
    }
    const FolderTraceSource source(DescribeTraceFolder(volume.str()), "u");
    size_t rows = source.ComputerName().size() + source.UserSid().size() + source.WindowsFamily().size();
    for (const CategoryInfo& category : Categories().categories) rows += Read(category.id, source).size();
    if (intactRows == 0) {
      intactRows = rows;
      EXPECT_GT(intactRows, 20u);
    } else {
      EXPECT_LT(rows, intactRows) << bytes.size();
    }
  }
}

// A copy tool still writing the file, or a system that has the image
// mounted, holds it open for writing; a loaded hive is held with no sharing
// at all, which gives no rows rather than a wait.
TEST_F(FolderLayoutTest, AHiveAnotherProgramHoldsOpen) {
  const fs::path file = temp_.Write("NTUSER.DAT", UserHive(u"held"));
  for (DWORD sharing : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}, DWORD{0}}) {
    UniqueFileHandle holder(CreateFileW(file.wstring().c_str(), GENERIC_READ | (sharing ? GENERIC_WRITE : 0), sharing,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    const FolderTraceSource source(DescribeTraceFolder(temp_.str()), "");
    EXPECT_EQ(Read(Category::kTypedPaths, source), sharing ? Rows{"\\\\held"} : Rows{}) << sharing;
  }
}

}  // namespace
}  // namespace tmr
