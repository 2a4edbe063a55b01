#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/CivilDate.h"
#include "core/EpochTime.h"
#include "core/TimePicture.h"

namespace tmr {
namespace {

// Seconds since 1970 of a UTC date and time, by the day count of
// CivilDate, which works the calendar out independently of the year walk.
double UnixSeconds(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return static_cast<double>(DaysFromCivil({y, mo, d})) * 86400 + h * 3600 + mi * 60 + s;
}

DateTime Expected(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return {y, mo, d, h, mi, s}; }

struct EpochCase {
  const char* name;
  double seconds;
  DateTime expected;
};

class UnixEpochCases : public ::testing::TestWithParam<EpochCase> {};

TEST_P(UnixEpochCases, WalkLandsOnTheRightDay) {
  const EpochCase& c = GetParam();
  auto date = UnixTimeToDateAt(c.seconds, 0);
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(*date, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, UnixEpochCases,
    ::testing::Values(
        EpochCase{"epoch", 0, Expected(1970, 1, 1)},
        EpochCase{"leap day 1972", UnixSeconds(1972, 2, 29, 12), Expected(1972, 2, 29, 12)},
        EpochCase{"last day of a leap year", UnixSeconds(1972, 12, 31, 23, 59, 59), Expected(1972, 12, 31, 23, 59, 59)},
        EpochCase{"first day after it", UnixSeconds(1973, 1, 1), Expected(1973, 1, 1)},
        EpochCase{"leap day 2000", UnixSeconds(2000, 2, 29, 6, 7, 8), Expected(2000, 2, 29, 6, 7, 8)},
        EpochCase{"march 2000", UnixSeconds(2000, 3, 1), Expected(2000, 3, 1)},
        EpochCase{"end of august", UnixSeconds(2012, 8, 31, 23, 59, 59), Expected(2012, 8, 31, 23, 59, 59)},
        EpochCase{"start of september", UnixSeconds(2012, 9, 1), Expected(2012, 9, 1)},
        EpochCase{"2100 is common", UnixSeconds(2100, 3, 1), Expected(2100, 3, 1)},
        EpochCase{"fractions are dropped", 1.9, Expected(1970, 1, 1, 0, 0, 1)},
        EpochCase{"just before the epoch", -0.5, Expected(1969, 12, 31, 23, 59, 59)}),
    [](const auto& testInfo) {
      std::string name = testInfo.param.name;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

// The walk exactly as the stored-time conversion is defined: a year at a
// time from the epoch, then the months from December down.
DateTime LiteralWalk(double t, int year) {
  auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
  while (t >= 31536000) {
    if (leap(year) && t < 31622400) break;
    t -= leap(year) ? 31622400 : 31536000;
    ++year;
  }
  while (t < 0) t += leap(--year) ? 31622400 : 31536000;
  const int l = leap(year) ? 1 : 0;
  const double d = std::trunc(t / 86400);
  int month = 1;
  const int starts[] = {334, 304, 273, 243, 212, 181, 151, 120, 90, 59};
  for (int i = 0; i < 10; ++i) {
    if (d >= starts[i] + l) {
      month = 12 - i;
      t -= (starts[i] + l) * 86400.0;
      break;
    }
  }
  if (month == 1 && d >= 31) {
    month = 2;
    t -= 31 * 86400.0;
  }
  long long whole = static_cast<long long>(std::trunc(t));
  return {year,
          month,
          static_cast<int>(whole / 86400) + 1,
          static_cast<int>(whole % 86400 / 3600),
          static_cast<int>(whole % 3600 / 60),
          static_cast<int>(whole % 60)};
}

TEST(EpochTime, SameDayAsTheYearByYearWalk) {
  std::mt19937_64 random(1234);
  std::uniform_real_distribution<double> span(0, 600.0 * 31622400);  // 1601 .. 2200
  std::uniform_real_distribution<double> fraction(0, 1);
  for (int i = 0; i < 20000; ++i) {
    double t = std::floor(span(random));
    if (i % 3 == 0) t += fraction(random);
    if (i % 7 == 0) t = std::floor(t / 86400) * 86400 + (i % 2 ? 0 : 86399.9);  // the edges of a day
    ASSERT_EQ(EpochSecondsToDate(t, 1601, 0), LiteralWalk(t, 1601)) << std::fixed << t;
  }
  // Around the Unix epoch, where a zone west of UTC walks backwards.
  for (double t : {-1e-6, -0.5, -1.0, -86400.0, -31536000.0, -31536000.5, 0.0, 31535999.999, 31536000.0}) {
    EXPECT_EQ(EpochSecondsToDate(t, 1970, 0), LiteralWalk(t, 1970)) << t;
  }
  // Too close to midnight to be told apart from it: midnight, never 24:00
  // of the day before (where the literal walk rounds into a day that does
  // not exist).
  for (double t : {-1e-300, -1e-320}) EXPECT_EQ(EpochSecondsToDate(t, 1970, 0), (DateTime{1970, 1, 1, 0, 0, 0})) << t;
}

TEST(EpochTime, OffsetShiftsAcrossDayAndYearBoundaries) {
  EXPECT_EQ(UnixTimeToDateAt(0, 5.5f), Expected(1970, 1, 1, 5, 30, 0));
  EXPECT_EQ(UnixTimeToDateAt(0, -3.5f), Expected(1969, 12, 31, 20, 30, 0));
  EXPECT_EQ(UnixTimeToDateAt(UnixSeconds(2012, 8, 31, 20), 5.75f), Expected(2012, 9, 1, 1, 45, 0));
  // A zero Chrome time west of UTC falls before 1601.
  EXPECT_EQ(WebKitTimeToDateAt(0, -3.5f), Expected(1600, 12, 31, 20, 30, 0));
  EXPECT_EQ(WebKitTimeToDateAt(0, 0), Expected(1601, 1, 1));
  // The Chrome time of the Unix epoch is the Unix epoch.
  EXPECT_EQ(WebKitTimeToDateAt(11644473600000000.0, 1), UnixTimeToDateAt(0, 1));
}

TEST(EpochTime, ValuesNoRealStoreHoldsGiveNothing) {
  EXPECT_FALSE(UnixTimeToDateAt(std::nan(""), 0));
  EXPECT_FALSE(UnixTimeToDateAt(INFINITY, 0));
  EXPECT_FALSE(UnixTimeToDateAt(1e300, 0));
  EXPECT_FALSE(UnixTimeToDateAt(-1e300, 0));
  EXPECT_FALSE(WebKitTimeToDateAt(1.7e308, 0));
  EXPECT_FALSE(UnixTimeToDateAt(UnixSeconds(10000, 1, 1), 0));
  EXPECT_EQ(UnixTimeToDateAt(UnixSeconds(9999, 12, 31, 23, 59, 59), 0), Expected(9999, 12, 31, 23, 59, 59));
  EXPECT_EQ(UnixTimeToDateAt(UnixSeconds(100, 1, 1), 0), Expected(100, 1, 1));
  EXPECT_FALSE(UnixTimeToDateAt(UnixSeconds(100, 1, 1) - 1, 0));
}

TEST(EpochTime, ClockDistanceRunsForwardRoundTheFace) {
  struct Case {
    double from, to;
    int32_t modulus;
    double expected;
  };
  for (const Case& c : {Case{0, 30, 60, 30}, Case{45, 15, 60, 30}, Case{10, 10, 60, 0}, Case{59, 0, 60, 1},
                        Case{0, 59, 60, 59}, Case{23, 1, 24, 2}, Case{0.5, 2.5, 60, 2},  // halves to even
                        Case{1.5, 3, 60, 1}, Case{5, 7, 0, 0}, Case{70, 5, 60, 55}}) {
    double d = ClockDistance(c.from, c.to, c.modulus);
    EXPECT_EQ(d, c.expected) << c.from << " -> " << c.to << " mod " << c.modulus;
  }
}

TEST(EpochTime, OffsetFromTwoClockReadings) {
  struct Case {
    ClockReading local, utc;
    float expected;
  };
  const Case cases[] = {
      {{2026, 12, 8, 15, 30}, {2026, 12, 8, 10, 0}, 5.5f},   // Kolkata, on the hour
      {{2026, 12, 8, 16, 15}, {2026, 12, 8, 10, 45}, 5.5f},  // Kolkata, minutes borrow an hour
      {{2027, 1, 1, 5, 15}, {2026, 12, 31, 23, 45}, 5.5f},   // Kolkata, across the new year
      {{2026, 12, 8, 6, 30}, {2026, 12, 8, 10, 0}, -3.5f},   // St. John's
      {{2026, 12, 8, 7, 15}, {2026, 12, 8, 10, 45}, -3.5f},  // St. John's, borrow
      {{2026, 12, 7, 21, 45}, {2026, 12, 8, 1, 15}, -3.5f},  // St. John's, the day before
      {{2026, 12, 8, 16, 0}, {2026, 12, 8, 10, 15}, 5.75f},  // Kathmandu
      {{2026, 12, 9, 0, 0}, {2026, 12, 8, 10, 15}, 13.75f},  // Chatham Islands in summer
      {{2026, 12, 8, 10, 59}, {2026, 12, 8, 10, 59}, 0.0f},  // UTC
      {{2026, 12, 8, 4, 0}, {2026, 12, 8, 9, 0}, -5.0f},     // New York
      {{2026, 12, 8, 23, 30}, {2026, 12, 9, 0, 30}, -1.0f},  // Azores, the day before
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(UtcOffsetFromClocks(c.local, c.utc), c.expected)
        << c.local.hour << ":" << c.local.minute << " vs " << c.utc.hour << ":" << c.utc.minute;
  }
}

TEST(TimePicture, TokensQuotesAndTheTwelveHourClock) {
  struct Case {
    const char* picture;
    int h, m, s;
    const char* expected;
  };
  for (const Case& c : {Case{"h:mm:ss tt", 13, 5, 9, "1:05:09 PM"}, Case{"h:mm:ss tt", 0, 0, 1, "12:00:01 AM"},
                        Case{"hh:mm:ss t", 12, 30, 0, "12:30:00 P"}, Case{"HH:mm:ss", 7, 8, 9, "07:08:09"},
                        Case{"H:m:s", 7, 8, 9, "7:8:9"}, Case{"HHH'h'mm", 23, 59, 0, "23h59"},
                        Case{"tt h 'o''clock'", 9, 0, 0, "AM 9 o'clock"}, Case{"H.mm 'Uhr", 9, 5, 0, "9.05 Uhr"}}) {
    EXPECT_EQ(FormatTimePicture(c.picture, c.h, c.m, c.s, "AM", "PM"), c.expected) << c.picture;
  }
  EXPECT_EQ(FormatTimePicture("tt H:mm", 9, 5, 0, "\xE5\x8D\x88\xE5\x89\x8D", "PM"), "\xE5\x8D\x88\xE5\x89\x8D 9:05");
  EXPECT_EQ(FormatTimePicture("t H", 9, 0, 0, "\xE5\x8D\x88\xE5\x89\x8D", "PM"), "\xE5\x8D\x88 9");
}

}  // namespace
}  // namespace tmr
