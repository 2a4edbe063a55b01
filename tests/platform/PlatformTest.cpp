#include <gtest/gtest.h>
#include <shlobj.h>

#include "core/CivilDate.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "support/ScratchRegistry.h"

namespace tmr {
namespace {

TEST(Platform, SpecialFolderEndsInBackslash) {
  std::string documents = GetSpecialFolder(CSIDL_PERSONAL);
  ASSERT_GE(documents.size(), 2u);
  EXPECT_EQ(documents.back(), '\\');
  EXPECT_NE(documents[documents.size() - 2], '\\');
  EXPECT_EQ(GetSpecialFolder(0x7F), "\\");  // no such folder
}

TEST(Platform, TextConversionsRoundTrip) {
  std::string text = "K\xC3\xB6ln \xE2\x82\xAC \xF0\x9F\x98\x80";
  EXPECT_EQ(Narrow(Widen(text)), text);
  EXPECT_EQ(Widen(text).size(), 9u);  // the emoji is a surrogate pair
  EXPECT_EQ(Widen(""), L"");
}

TEST(Platform, ScratchRegistryRedirectsAndCleansUp) {
  {
    test::ScratchRegistry scratch;
    scratch.SetString(HKEY_CURRENT_USER, "Software\\TracemereProbe", "v", "scratch");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TracemereProbe", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_NE(scratch.Dump().find("TracemereProbe"), std::string::npos);
  }
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TracemereProbe", 0, KEY_READ, &key), ERROR_SUCCESS);
}

// Run under several LC_ALL values (see the test registrations): the date the
// update check writes must read back as the same day.
TEST(Locale, ShortDateRoundTripsThroughThePicture) {
  CivilDate today = LocalToday();
  std::string written = FormatShortDate(today);
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(ParseShortDate(written, UserShortDatePicture()), today) << written << " / " << UserShortDatePicture();
  CivilDate first{2026, 12, 1};
  EXPECT_EQ(ParseShortDate(FormatShortDate(first), UserShortDatePicture()), first);
}

TEST(Locale, GermanSettingsUseCommaAndDayFirst) {
  if (GetUserDefaultLCID() != 0x0407) GTEST_SKIP() << "runs under LC_ALL=de_DE.UTF-8";
  EXPECT_EQ(UserDecimalSeparator(), ",");
  EXPECT_EQ(FormatShortDate({2026, 12, 8}), "8.12.2026");
}

}  // namespace
}  // namespace tmr
