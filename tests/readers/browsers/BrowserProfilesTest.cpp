// Profile folders from the scratch registry's shell folders and real
// folders in a temp folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "readers/browsers/BrowserProfiles.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class ProfileFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "AppData", temp_.str() + "\\Roaming");
    scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "Local AppData", temp_.str() + "\\Local");
  }
  std::string Profiles() const { return temp_.str() + "\\Roaming\\Mozilla\\Firefox\\Profiles\\"; }
  void MakeFolder(const std::string& path) { std::filesystem::create_directories(std::filesystem::u8path(path)); }

  test::TempDir temp_;
  test::ScratchRegistry scratch_;
};

TEST_F(ProfileFoldersTest, FirstProfileInListingOrderWhateverItsName) {
  EXPECT_EQ(FirefoxProfileFolder(), "");  // no Firefox at all
  MakeFolder(Profiles());
  EXPECT_EQ(FirefoxProfileFolder(), "");  // no profile
  MakeFolder(Profiles() + "zz.default");
  MakeFolder(Profiles() + "ab.work");
  temp_.Write("Roaming\\Mozilla\\Firefox\\Profiles\\aa.txt", "a file is no profile");
  EXPECT_EQ(FirefoxProfileFolder(), Profiles() + "ab.work");
}

TEST_F(ProfileFoldersTest, ChromeIsAlwaysTheDefaultProfile) {
  EXPECT_EQ(ChromeProfileFolder(), temp_.str() + "\\Local\\Google\\Chrome\\User Data\\default");
}

TEST_F(ProfileFoldersTest, UnreadableShellFolderLeadsNowhere) {
  test::ScratchRegistry empty;
  EXPECT_EQ(FirefoxProfileFolder(), "");
  EXPECT_EQ(ChromeProfileFolder(), "");
}

TEST_F(ProfileFoldersTest, SubfoldersOnlyInTheirOrder) {
  MakeFolder(temp_.str() + "\\list\\b");
  MakeFolder(temp_.str() + "\\list\\a");
  temp_.Write("list\\c.txt", "x");
  using Names = std::vector<std::string>;
  EXPECT_EQ(ListSubfolders(temp_.str() + "\\list"), (Names{"a", "b"}));
  EXPECT_EQ(ListSubfolders(temp_.str() + "\\list\\"), (Names{"a", "b"}));
  EXPECT_TRUE(ListSubfolders(temp_.str() + "\\list\\a").empty());
  EXPECT_TRUE(ListSubfolders(temp_.str() + "\\missing").empty());
}

TEST(ProfileFolderAttributes, OnlyPlainFoldersAndNotIndexedOnesCount) {
  for (uint32_t kept : {16u, 17u, 18u, 20u, 23u, 31u, 8208u}) EXPECT_TRUE(IsListedFolderAttribute(kept)) << kept;
  // Archive (48), compressed, encrypted, not-indexed with more bits, files.
  for (uint32_t left : {0u, 1u, 15u, 32u, 48u, 2064u, 16400u, 8209u, 8240u, 128u}) {
    EXPECT_FALSE(IsListedFolderAttribute(left)) << left;
  }
}

}  // namespace
}  // namespace tmr
