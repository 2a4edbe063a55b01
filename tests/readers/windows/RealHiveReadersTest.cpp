// The Windows categories against real user and system hives (converted by
// the build, loaded under a scratch registry). The rows are what the hives
// hold, in Wine's enumeration order (values and subkeys sorted by name).
#include <gtest/gtest.h>

#include <memory>

#include "core/ProgramState.h"
#include "readers/windows/MruText.h"
#include "readers/windows/WindowsReaders.h"
#include "support/RealHives.h"
#include "support/RecordingList.h"

namespace tmr {
namespace {

using Rows = std::vector<std::string>;

const Rows kWin7OpenSaveNames = {
    "Firefox Setup 3.6.12.exe",
    "Firefox Setup 6.0.exe",
    "wallpaper_medium.jpg",
    "C:\\Users\\nfury\\Pictures\\nick_fury_77831.jpg",
    "C:\\Users\\nfury\\Pictures\\The SHIELD\\captain-america-shield-front.jpg",
    "C:\\Users\\nfury\\Pictures\\The SHIELD\\captain_america_shield_by_almogrem-d48x9x8.jpg",
    "C:\\Users\\nfury\\Documents\\Leadership\\5031RR_BalancedLeadership.pdf",
    "C:\\Users\\nfury\\Documents\\Leadership\\htlhtl.pdf",
    "C:\\Users\\nfury\\Documents\\Leadership\\leaderqualities.pdf",
    "C:\\Users\\nfury\\Documents\\Leadership\\followership.pdf",
    "StarFury.zip",
    "StarFury.zip",
};

// One hive per suite: importing a whole user hive takes a moment.
class RealHiveTest : public ::testing::Test {
 protected:
  static void Load(const wchar_t* userHive) {
    scratch_ = std::make_unique<test::ScratchRegistry>();
    loaded_ = test::LoadRealHive(*scratch_, userHive) > 0 && test::LoadRealHive(*scratch_, L"usbstor.reg") > 0;
    before_ = scratch_->Dump();
  }
  static void TearDownTestSuite() {
    if (scratch_) {
      EXPECT_EQ(scratch_->Dump(), before_) << "a category wrote to the registry";
    }
    scratch_.reset();
  }
  void SetUp() override {
    if (!loaded_) GTEST_SKIP() << "the converted hives are missing (hivexregedit?)";
    savedOs_ = OsVersion;
    OsVersion = "Vista";
  }
  void TearDown() override { OsVersion = savedOs_; }
  Rows Run(Category category) {
    list_ = test::RecordingList();
    test::ShowInRecorder(category, list_);
    EXPECT_EQ(list_.panel2, RecordCountText(list_.rows.size())) << static_cast<int>(category);
    return list_.FirstColumn();
  }

  static inline std::unique_ptr<test::ScratchRegistry> scratch_;
  static inline bool loaded_ = false;
  static inline std::string before_;
  test::RecordingList list_;
  std::string savedOs_;
};

class Windows7Hive : public RealHiveTest {
 protected:
  static void SetUpTestSuite() { Load(L"ntuser-win7.reg"); }
};

class SecondUserHive : public RealHiveTest {
 protected:
  static void SetUpTestSuite() { Load(L"ntuser-2.reg"); }
};

TEST_F(Windows7Hive, RunSearchTypedPathsAndUsbStorage) {
  EXPECT_EQ(Run(Category::kRunHistory), (Rows{"\\\\controller\\WebDavShare"}));
  EXPECT_EQ(Run(Category::kSearchHistory), (Rows{"hyth", "rar.exe"}));
  EXPECT_EQ(Run(Category::kTypedPaths), (Rows{"\\\\controller"}));
  EXPECT_EQ(Run(Category::kUsbStorage), (Rows{"HP v100w USB Device"}));
}

TEST_F(Windows7Hive, LastVisitedAndFirstFolder) {
  EXPECT_EQ(Run(Category::kLastVisited),
            (Rows{"iexplore.exe", "chrome.exe", "Skype.exe", "{D4F85F66-003D-4127-BCE9-CAD7A57B2857}",
                  "{0B8CFE96-DB69-4D33-8E3C-36EAB4F709E0}", "{24B5C9BB-48B5-47FF-8343-40481DBA1E2B}",
                  "{427865A0-03AF-4F25-82EE-10B6CB1DED3E}", "{48E1ED6B-CF49-4609-B1C1-C082BFC3D0B4}"}));
  EXPECT_EQ(Run(Category::kFirstFolders),
            (Rows{"C:\\Program Files (x86)\\Internet Explorer\\iexplore.exe",
                  "C:\\Users\\nfury\\AppData\\Local\\Google\\Chrome\\Application\\chrome.exe"}));
}

TEST_F(Windows7Hive, RecentFolderOfAnotherMachineGivesNoRows) {
  // The hive's Shell Folders point at C:\Users\nfury\...\Recent.
  EXPECT_TRUE(Run(Category::kRecentDocuments).empty());
  EXPECT_EQ(list_.panel2, "Total Records: 0");
}

TEST_F(Windows7Hive, OpenSaveBeforeVistaFindsNoOldList) {
  OsVersion = "xp";
  EXPECT_TRUE(Run(Category::kOpenSaveHistory).empty());
}

// Under ja_JP and ko_KR the UTF-16 classes try only the 4th and 5th empty
// pairs from the end, where the bare file names stand; the full paths of the
// other entries lie further back and are only reached by "en".
TEST_F(Windows7Hive, LocaleOpenSaveNames) {
  Rows expected = kWin7OpenSaveNames;
  if (SystemTextClass() != TextClass::kEn) {
    expected = {"Firefox Setup 3.6.12.exe", "Firefox Setup 6.0.exe", "wallpaper_medium.jpg", "StarFury.zip",
                "StarFury.zip"};
  }
  EXPECT_EQ(Run(Category::kOpenSaveHistory), expected);
}

TEST_F(SecondUserHive, OpenSaveLastVisitedAndFirstFolder) {
  EXPECT_EQ(Run(Category::kOpenSaveHistory), (Rows{"ash.png", "ash_0.png"}));
  EXPECT_EQ(Run(Category::kLastVisited), (Rows{"iexplore.exe"}));
  EXPECT_EQ(Run(Category::kFirstFolders), (Rows{"C:\\Program Files\\Internet Explorer\\iexplore.exe"}));
  for (Category category : {Category::kSearchHistory, Category::kRunHistory, Category::kTypedPaths}) {
    EXPECT_TRUE(Run(category).empty()) << static_cast<int>(category);
  }
}

}  // namespace
}  // namespace tmr
