#include "core/EpochTime.h"

#include <cmath>
#include <tuple>

#include "core/CivilDate.h"
#include "core/LeadingNumber.h"

namespace tmr {
namespace {

constexpr double kLeapYear = 31622400.0;
constexpr double kDay = 86400.0;
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

}  // namespace

double ClockDistance(double from, double to, int32_t modulus) {
  if (modulus < 1) return 0;
  auto f = RoundToInt32(from);
  auto t = RoundToInt32(to);
  if (!f || !t) return 0;
  int64_t diff = *f < *t ? int64_t{*t} - *f : int64_t{modulus} - *f + *t;
  int64_t m = diff % modulus;
  return static_cast<double>(m < 0 ? m + modulus : m);
}

float UtcOffsetFromClocks(const ClockReading& local, const ClockReading& utc) {
  double hours = local.hour - utc.hour;
  auto localDate = std::tie(local.year, local.month, local.day);
  auto utcDate = std::tie(utc.year, utc.month, utc.day);
  if (localDate < utcDate) hours -= 24;
  if (localDate > utcDate) hours += 24;
  double minutes = ClockDistance(utc.minute, local.minute, 60);
  if (minutes >= 1 && local.minute < minutes) hours -= 1;
  return static_cast<float>(hours + minutes / 60.0);
}

std::optional<DayAndSecond> EpochSecondsToDay(double seconds, int epochYear, float offsetHours) {
  double t = seconds + (kDay / 24.0) * offsetHours;
  // Only years the calendar functions and the platform's date type hold.
  constexpr double kSpan = (kLastYear + 1 - kFirstYear) * kLeapYear;
  if (!std::isfinite(t) || t > kSpan || t < -kSpan) return std::nullopt;

  // Day counts find the day at once, where a walk a year at a time from
  // the epoch would take some 400 steps for a time of 2010 counted from
  // 1601, more than the rest of a row's conversion costs.
  // floor(), done inline: the runtime's is a call, a million rows a million.
  const double quotient = t / kDay;
  double dayNumber = static_cast<double>(static_cast<int64_t>(quotient));
  if (dayNumber > quotient) dayNumber -= 1;
  double rest = t - dayNumber * kDay;  // exact: both are whole multiples of t's precision
  // The division may round across midnight; the rest decides. A time a
  // hair before midnight, too close to it to be told apart from it once a
  // day is added (the quotient of a subnormal time is -0), is midnight:
  // both steps, never a 24th hour.
  if (rest < 0) {
    dayNumber -= 1;
    rest += kDay;
  }
  if (rest >= kDay) {
    dayNumber += 1;
    rest -= kDay;
  }
  constexpr int64_t kFirstDay = DaysFromCivil({kFirstYear, 1, 1});
  constexpr int64_t kLastDay = DaysFromCivil({kLastYear, 12, 31});
  constexpr int64_t k1601 = DaysFromCivil({1601, 1, 1});
  const int64_t epochDay = epochYear == 1970 ? 0 : epochYear == 1601 ? k1601 : DaysFromCivil({epochYear, 1, 1});
  const int64_t day = epochDay + static_cast<int64_t>(dayNumber);
  if (day < kFirstDay || day > kLastDay) return std::nullopt;
  return DayAndSecond{day, static_cast<int>(rest)};  // 0 <= rest < kDay: the cast drops the fraction
}

std::optional<int64_t> OffsetMicroseconds(float offsetHours) {
  // As EpochSecondsToDay adds it in seconds: 3600 for each hour.
  const double offset = std::round((kDay / 24.0) * offsetHours * 1e6);
  if (!std::isfinite(offset) || std::fabs(offset) > 1e15) return std::nullopt;
  return static_cast<int64_t>(offset);
}

std::optional<DayAndSecond> InstantToDay(int64_t microseconds, float offsetHours) {
  const std::optional<int64_t> offset = OffsetMicroseconds(offsetHours);
  if (!offset) return std::nullopt;
  return InstantToDayAt(microseconds, *offset);
}

std::optional<DayAndSecond> InstantToDayAt(int64_t microseconds, int64_t offsetMicroseconds) {
  constexpr int64_t kMicrosPerDay = 86400LL * 1000000;
  constexpr int64_t kFirstDay = DaysFromCivil({kFirstYear, 1, 1});
  constexpr int64_t kLastDay = DaysFromCivil({kLastYear, 12, 31});
  // Beyond the years shown either way, and far from overflowing.
  constexpr int64_t kBound = (kLastDay + 2) * kMicrosPerDay;
  if (offsetMicroseconds > 1000000000000000LL || offsetMicroseconds < -1000000000000000LL ||
      microseconds > kBound || microseconds < -kBound) {
    return std::nullopt;
  }
  const int64_t t = microseconds + offsetMicroseconds;
  int64_t day = t / kMicrosPerDay;
  int64_t rest = t - day * kMicrosPerDay;
  if (rest < 0) {
    day -= 1;
    rest += kMicrosPerDay;
  }
  if (day < kFirstDay || day > kLastDay) return std::nullopt;
  return DayAndSecond{day, static_cast<int>(rest / 1000000)};
}

std::optional<DateTime> EpochSecondsToDate(double seconds, int epochYear, float offsetHours) {
  const std::optional<DayAndSecond> moment = EpochSecondsToDay(seconds, epochYear, offsetHours);
  if (!moment) return std::nullopt;
  const CivilDate date = CivilFromDays(moment->day);
  const int second = moment->second;
  return DateTime{date.year, date.month, date.day, second / 3600, second / 60 % 60, second % 60};
}

std::optional<DateTime> UnixTimeToDateAt(double seconds, float offsetHours) {
  return EpochSecondsToDate(seconds, 1970, offsetHours);
}

std::optional<DateTime> WebKitTimeToDateAt(double microseconds, float offsetHours) {
  return EpochSecondsToDate(microseconds / 1000000.0, 1601, offsetHours);
}

}  // namespace tmr
