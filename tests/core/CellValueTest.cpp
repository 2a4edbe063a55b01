#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/CellValue.h"
#include "core/CivilDate.h"
#include "core/EpochTime.h"

namespace tmr {
namespace {

constexpr Instant Seconds(int64_t s) { return s * kMicrosecondsPerSecond; }

// An instant is written as the same day and second the double-based
// conversion gives, wherever that one is exact: whole and half seconds,
// before and after 1970, in zones east and west, at every day's edges.
TEST(InstantToDay, AgreesWithTheSecondsConversion) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int64_t> seconds(-12000000000LL, 250000000000LL);
  for (float offset : {0.0f, 5.5f, -3.5f, 5.75f, -12.0f, 14.0f}) {
    for (int i = 0; i < 20000; ++i) {
      const int64_t s = i < 4 ? int64_t{86400} * (i - 2) : seconds(random);
      for (int64_t half : {int64_t{0}, kMicrosecondsPerSecond / 2, -kMicrosecondsPerSecond / 2}) {
        const Instant instant = Seconds(s) + half;
        const auto exact = InstantToDay(instant, offset);
        const auto viaDouble = EpochSecondsToDay(static_cast<double>(instant) / 1e6, 1970, offset);
        ASSERT_EQ(exact.has_value(), viaDouble.has_value()) << instant << " at " << offset;
        if (!exact) continue;
        ASSERT_EQ(exact->day, viaDouble->day) << instant << " at " << offset;
        ASSERT_EQ(exact->second, viaDouble->second) << instant << " at " << offset;
      }
    }
  }
  // Past what either shows.
  EXPECT_FALSE(InstantToDay(INT64_MAX, 0));
  EXPECT_FALSE(InstantToDay(INT64_MIN, 14));
}

TEST(Instants, StoredFormsBecomeExactInstants) {
  EXPECT_EQ(InstantFromMicroseconds1601(kMicroseconds1601To1970), 0);
  EXPECT_EQ(InstantFromMicroseconds1601(13300000000999999), 13300000000999999 - kMicroseconds1601To1970);
  EXPECT_FALSE(InstantFromMicroseconds1601(INT64_MIN));
  EXPECT_EQ(InstantFromFileTime(116444736000000000ULL), 0);
  EXPECT_EQ(InstantFromFileTime(116444736000000019ULL), 1);  // ticks of 100 ns, dropped below a microsecond
  // A second a hair short stays in its second.
  EXPECT_EQ(InstantFromSecondsValue(std::nextafter(1500000001.0, 0.0)), Seconds(1500000001) - 1);
  EXPECT_EQ(InstantFromSecondsValue(-0.5), -kMicrosecondsPerSecond / 2);
  EXPECT_EQ(InstantFromMicrosecondsValue(-0.5), -1);
  for (double bad : {double{NAN}, double{INFINITY}, -1e300}) {
    EXPECT_FALSE(InstantFromSecondsValue(bad));
    EXPECT_FALSE(InstantFromMicrosecondsValue(bad));
  }
}

TEST(IsoUtcText, WritesAndReadsBack) {
  const Instant instant = Seconds(DaysFromCivil({2019, 4, 27}) * 86400 + 13 * 3600 + 5 * 60 + 9);
  EXPECT_EQ(IsoUtcText(instant), "2019-04-27T13:05:09Z");
  EXPECT_EQ(IsoUtcText(instant + 7), "2019-04-27T13:05:09.000007Z");
  EXPECT_EQ(IsoUtcText(-1), "1969-12-31T23:59:59.999999Z");
  EXPECT_EQ(IsoUtcText(-kMicroseconds1601To1970), "1601-01-01T00:00:00Z");
  EXPECT_FALSE(IsoUtcText(Seconds(DaysFromCivil({10000, 1, 1}) * 86400)));
  for (Instant value : {instant, instant + 7, Instant{-1}, -kMicroseconds1601To1970}) {
    EXPECT_EQ(ParseIsoUtcText(*IsoUtcText(value)), value);
  }
  for (const char* bad : {"", "2019-04-27T13:05:09", "2019-02-30T00:00:00Z", "2019-04-27 13:05:09Z",
                          "2019-04-27T13:05:09.5Z", "2019-04-27T24:00:00Z", "2019-04-27T13:05:09Zjunk"}) {
    EXPECT_FALSE(ParseIsoUtcText(bad)) << bad;
  }
}

TEST(CellFormat, TextsOfEveryKind) {
  const CellFormat& format = UtcIsoCellFormat();
  EXPECT_EQ(format.Text(CellValue::Text("as is")), "as is");
  EXPECT_EQ(format.Text(CellValue::Number(-42)), "-42");
  EXPECT_EQ(format.Text(CellValue::Number(INT64_MIN)), "-9223372036854775808");
  EXPECT_EQ(format.Text(CellValue::Time(Seconds(86399))), "1970-01-01 23:59:59");
  EXPECT_EQ(format.Text(CellValue::Time(INT64_MAX)), "");

  CellTexts texts(format);
  const std::string owned = "owned";
  const CellValue row[] = {CellValue::Text(owned), CellValue::Number(7), CellValue::Time(0)};
  const auto views = texts.Of(row);
  ASSERT_EQ(views.size(), 3u);
  EXPECT_EQ(views[0].data(), owned.data());  // a text is not copied
  EXPECT_EQ(views[1], "7");
  EXPECT_EQ(views[2], "1970-01-01 00:00:00");
}

}  // namespace
}  // namespace tmr
