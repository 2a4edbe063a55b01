// The time conversions against the platform's real clocks, zones (TZ) and
// locales (LC_ALL); tests/common/CMakeLists.txt runs them under several.
#include <windows.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/TimePicture.h"
#include "platform/LocalTimeText.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return {y, mo, d, h, mi, s}; }

struct LocaleTexts {
  const char* afternoon;   // 1972-02-29 13:05:09
  const char* midnight;    // 1972-12-31 00:00:00
  const char* before1601;  // 1600-12-31 20:30:00
  const char* oneSecond;   // 2012-08-31 00:00:01
};

TEST(GeneralDateLocaleTest, ShortDateAndLongTimeOfTheUserLocale) {
  // As the locale data of the platform the tests run on gives them.
  const std::map<LCID, LocaleTexts> known = {
      {0x409, {"2/29/1972 1:05:09 PM", "12/31/1972", "12/31/1600 8:30:00 PM", "8/31/2012 12:00:01 AM"}},
      {0x407, {"29.2.1972 13:05:09", "31.12.1972", "31.12.1600 20:30:00", "31.8.2012 00:00:01"}},
      {0x411, {"1972/2/29 13:05:09", "1972/12/31", "1600/12/31 20:30:00", "2012/8/31 0:00:01"}},
  };
  auto it = known.find(GetUserDefaultLCID());
  if (it == known.end()) GTEST_SKIP() << "no expectations for locale " << std::hex << GetUserDefaultLCID();
  const LocaleTexts& texts = it->second;
  EXPECT_EQ(GeneralDateText(At(1972, 2, 29, 13, 5, 9)), texts.afternoon);
  EXPECT_EQ(GeneralDateText(At(1972, 12, 31)), texts.midnight);
  EXPECT_EQ(GeneralDateText(At(1600, 12, 31, 20, 30, 0)), texts.before1601);
  EXPECT_EQ(GeneralDateText(At(2012, 8, 31, 0, 0, 1)), texts.oneSecond);
  EXPECT_EQ(GeneralDateText(std::nullopt), "");
}

TEST(GeneralDateLocaleTest, TimeTextsMatchThePlatformsForEverySecondOfADay) {
  auto setting = [](LCTYPE type) {
    wchar_t buffer[128] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 128);
    return Narrow(buffer);
  };
  const std::string picture = setting(LOCALE_STIMEFORMAT), am = setting(LOCALE_S1159), pm = setting(LOCALE_S2359);
  SYSTEMTIME st{2012, 8, 5, 31, 0, 0, 0, 0};
  for (int second = 0; second < 86400; ++second) {
    st.wHour = static_cast<WORD>(second / 3600);
    st.wMinute = static_cast<WORD>(second / 60 % 60);
    st.wSecond = static_cast<WORD>(second % 60);
    wchar_t platform[128] = {};
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, platform, 128);
    ASSERT_EQ(FormatTimePicture(picture, st.wHour, st.wMinute, st.wSecond, am, pm), Narrow(platform))
        << picture << " at " << second;
  }
}

TEST(GeneralDateLocaleTest, StoredTimesReadTheSameWhateverTheDecimalSeparator) {
  // 2010-01-01 00:00:00 UTC as PRTime; the parse must not follow the
  // locale's decimal comma.
  const float offset = LocalUtcOffsetHours();
  EXPECT_EQ(PRTimeToDateText("1262304000000000"), GeneralDateText(UnixTimeToDateAt(1262304000, offset)));
  EXPECT_EQ(StoredNumber("1262304000000000.5"), 1262304000000000.5);
  EXPECT_EQ(StoredNumber("12,5"), 12);
}

TEST(LocalTimeText, PRTimeTextIsEmptyOnlyForZero) {
  const float offset = LocalUtcOffsetHours();
  for (const char* zero : {"", "0", "abc", " ", "0.0"}) EXPECT_EQ(PRTimeToDateText(zero), "") << zero;
  EXPECT_EQ(PRTimeToDateText("1000000"), GeneralDateText(UnixTimeToDateAt(1, offset)));
  // Less than a second, but not zero: the epoch itself.
  EXPECT_EQ(PRTimeToDateText("500000"), GeneralDateText(UnixTimeToDateAt(0, offset)));
  EXPECT_NE(PRTimeToDateText("500000"), "");
  EXPECT_EQ(PRTimeToDateText("  1309518981371935"), GeneralDateText(UnixTimeToDateAt(1309518981, offset)));
}

TEST(LocalTimeText, TheFourEpochsAgree) {
  const double unix = 1440500718.512;  // 2015-08-25 11:05:18.512 UTC
  ULARGE_INTEGER ticks;
  ticks.QuadPart = static_cast<ULONGLONG>((unix + 11644473600.0) * 1e7);
  FILETIME ft{ticks.LowPart, ticks.HighPart};
  const FILETIME before = ft;
  EXPECT_EQ(FileTimeToDate(ft), UnixTimeToDate(unix));
  EXPECT_EQ(CompareFileTime(&ft, &before), 0);
  EXPECT_EQ(WebKitTimeToDate((unix + 11644473600.0) * 1e6), UnixTimeToDate(unix));
  EXPECT_EQ(PRTimeToDateText("1440500718512000"), GeneralDateText(UnixTimeToDate(unix)));
}

// The lists write stored times straight from the seconds; the text must
// be that of the calendar date and time they stand for.
TEST(LocalTimeText, ListTimesReadAsTheirDates) {
  std::vector<double> seconds = {0,         -1e-300,      -0.5, 0.5,          86399.999,    86400,        -86400.25,
                                 951782400, -11644473600, 1e12, -62135596800, 253402300799, 253402300800, std::nan(""),
                                 INFINITY,  -INFINITY};
  for (int i = 0; i < 3000; ++i) seconds.push_back(1.2e9 + i * 12345.678);
  for (double unix : seconds) {
    std::string text;
    AppendEpochDateText(text, unix, 1970);
    EXPECT_EQ(text, GeneralDateText(UnixTimeToDate(unix))) << std::fixed << unix;
    const double microseconds = std::round((unix + 11644473600.0) * 1e6);
    text.clear();
    AppendEpochDateText(text, microseconds / 1000000.0, 1601);
    EXPECT_EQ(text, GeneralDateText(WebKitTimeToDate(microseconds))) << std::fixed << unix;
  }
}

// ---- real zones ----

struct ZoneOffsets {
  float standard;
  float daylight;
};

TEST(TimeZoneTest, OffsetOfTheMomentOfViewingAppliesToEveryTime) {
  const char* tz = std::getenv("TZ");
  const std::map<std::string, ZoneOffsets> zones = {
      {"Asia/Kolkata", {5.5f, 5.5f}},
      {"America/St_Johns", {-3.5f, -2.5f}},
      {"Europe/Berlin", {1, 2}},
      {"Australia/Sydney", {10, 11}},
  };
  if (!tz || !zones.count(tz)) GTEST_SKIP() << "runs under a TZ of its table";
  const ZoneOffsets& zone = zones.at(tz);

  TIME_ZONE_INFORMATION info{};
  DWORD state = GetTimeZoneInformation(&info);
  const bool summer = state == TIME_ZONE_ID_DAYLIGHT;
  const float offset = LocalUtcOffsetHours();
  EXPECT_FLOAT_EQ(offset, summer ? zone.daylight : zone.standard) << tz;
  const LONG bias = info.Bias + (summer ? info.DaylightBias : info.StandardBias);
  EXPECT_FLOAT_EQ(offset, static_cast<float>(-bias) / 60.0f);

  // A January and a July time are both moved by today's offset.
  const int minutes = static_cast<int>(offset * 60);
  for (double unix : {1262347200.0, 1278000000.0}) {  // 2010-01-01 12:00, 2010-07-01 16:00 UTC
    auto utc = UnixTimeToDateAt(unix, 0);
    auto local = UnixTimeToDate(unix);
    ASSERT_TRUE(utc && local);
    EXPECT_EQ(local, UnixTimeToDateAt(unix + minutes * 60.0, 0));
  }
  if (std::string(tz) == "Asia/Kolkata") {
    EXPECT_EQ(UnixTimeToDate(0), At(1970, 1, 1, 5, 30, 0));
  }
  if (std::string(tz) == "America/St_Johns" && !summer) {
    EXPECT_EQ(UnixTimeToDate(0), At(1969, 12, 31, 20, 30, 0));
  }
}

}  // namespace
}  // namespace tmr
