// Calendar dates without a clock: day arithmetic for the update-check
// interval, and reading a date written in the user's short-date format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tmr {

struct CivilDate {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// Proleptic Gregorian.
bool IsLeapYear(int year);
bool IsValidDate(const CivilDate& date);

// Days since 1970-01-01 (negative before it), proleptic Gregorian.
constexpr int64_t DaysFromCivil(const CivilDate& date) {
  int64_t y = date.year - (date.month <= 2 ? 1 : 0);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t mp = (date.month + 9) % 12;
  int64_t doy = (153 * mp + 2) / 5 + date.day - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
CivilDate CivilFromDays(int64_t days);

// Reads a date written with a short-date picture such as "M/d/yyyy",
// "dd.MM.yyyy" or "yyyy/MM/dd": the numbers of the text are taken in the
// order in which the picture names day, month and year. Two-digit years
// fall in 1950..2049. A text whose first number has four digits while the
// picture does not start with the year is read as year-month-day, so an
// ISO date is understood under any picture. Anything else gives nullopt.
std::optional<CivilDate> ParseShortDate(std::string_view text, std::string_view picture);

// The automatic update check runs when more than interval whole days have
// passed since the last one; a last check that is unknown always checks.
bool ShouldAutoCheck(const std::optional<CivilDate>& lastCheck, const CivilDate& today, int32_t interval);

}  // namespace tmr
