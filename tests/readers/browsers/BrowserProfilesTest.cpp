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
  EXPECT_EQ(FirefoxProfileFolder(""), "");  // no Firefox at all
  MakeFolder(Profiles());
  EXPECT_EQ(FirefoxProfileFolder(""), "");  // no profile
  MakeFolder(Profiles() + "zz.default");
  MakeFolder(Profiles() + "ab.work");
  temp_.Write("Roaming\\Mozilla\\Firefox\\Profiles\\aa.txt", "a file is no profile");
  EXPECT_EQ(FirefoxProfileFolder(""), Profiles() + "ab.work");
}

TEST_F(ProfileFoldersTest, ProfilesIniNamesTheFirefoxProfileInUse) {
  const std::string firefox = temp_.str() + "\\Roaming\\Mozilla\\Firefox";
  MakeFolder(Profiles() + "aaaa.default");
  MakeFolder(Profiles() + "zzzz.default-release");
  temp_.Write("Roaming/Mozilla/Firefox/profiles.ini",
              "[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/aaaa.default\r\nDefault=1\r\n\r\n"
              "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/zzzz.default-release\r\n\r\n"
              "[Install308046B0AF4A39CB]\r\nDefault=Profiles/zzzz.default-release\r\nLocked=1\r\n");
  EXPECT_EQ(FirefoxProfileFolder(""), Profiles() + "zzzz.default-release");
  // The user's choice, while its folder is there.
  EXPECT_EQ(FirefoxProfileFolder(Profiles() + "aaaa.default"), Profiles() + "aaaa.default");
  EXPECT_EQ(FirefoxProfileFolder(Profiles() + "gone"), Profiles() + "zzzz.default-release");
  ASSERT_EQ(ListFirefoxProfiles().size(), 2u);
  EXPECT_EQ(ListFirefoxProfiles()[1].folder, firefox + "\\Profiles\\zzzz.default-release");
}

TEST_F(ProfileFoldersTest, ChromiumBrowsersReadTheDefaultProfileUnlessAnotherIsChosen) {
  EXPECT_EQ(ChromiumProfileFolder(ChromiumBrowser::kChrome, ""),
            temp_.str() + "\\Local\\Google\\Chrome\\User Data\\default");
  EXPECT_EQ(ChromiumProfileFolder(ChromiumBrowser::kEdge, ""),
            temp_.str() + "\\Local\\Microsoft\\Edge\\User Data\\Default");
  EXPECT_EQ(ChromiumProfileFolder(ChromiumBrowser::kEdge, "Profile 2"),
            temp_.str() + "\\Local\\Microsoft\\Edge\\User Data\\Profile 2");
  temp_.Write("Local/Microsoft/Edge/User Data/Local State",
              R"({"profile":{"info_cache":{"Default":{"name":"Work"},"Profile 2":{"name":"Home \u00e9"}}}})");
  const auto profiles = ListChromiumProfiles(ChromiumBrowser::kEdge);
  ASSERT_EQ(profiles.size(), 2u);
  EXPECT_EQ(profiles[1].name, "Home \xC3\xA9");
  EXPECT_EQ(profiles[1].folder, "Profile 2");
  EXPECT_TRUE(ListChromiumProfiles(ChromiumBrowser::kChrome).empty());
}

TEST_F(ProfileFoldersTest, UnreadableShellFolderLeadsNowhere) {
  test::ScratchRegistry empty;
  EXPECT_EQ(FirefoxProfileFolder(""), "");
  EXPECT_EQ(ChromiumProfileFolder(ChromiumBrowser::kChrome, ""), "");
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
