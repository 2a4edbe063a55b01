// The arithmetic of the browsers' time stamps: the zone offset worked out
// from a local and a UTC clock reading, and the walk from an epoch to a
// calendar date. Both take their inputs as arguments; LocalTimeText.h reads the
// clocks and turns the result into the text the lists show.
#pragma once

#include <cstdint>
#include <optional>

namespace tmr {

// A local date and time to the whole second.
struct DateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// What the offset needs of one clock: its calendar date, hour and minute.
struct ClockReading {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
};

// The distance forward from one position to another on a clock face with
// the given number of positions; both are rounded to whole numbers (halves
// to even) first. Always within 0 .. modulus - 1; 0 for a modulus below 1.
double ClockDistance(double from, double to, int32_t modulus);

// Local time minus UTC in hours (5.5, -3.5, ...), from two readings taken
// one after the other. Only the hours, minutes and the calendar date count,
// so the minutes of a half-hour zone come out of the clock face and borrow
// an hour when the local minute has not yet passed them.
float UtcOffsetFromClocks(const ClockReading& local, const ClockReading& utc);

// A moment as the day it falls on (days since 1970-01-01, see
// CivilDate.h) and the whole seconds since that day's midnight (0..86399).
struct DayAndSecond {
  int64_t day = 0;
  int second = 0;
};

// Seconds since 00:00:00 of 1 January of epochYear, moved by offsetHours,
// as a day and a second of it; the range and the rounding are those of
// EpochSecondsToDate, which only adds the calendar date of the day.
std::optional<DayAndSecond> EpochSecondsToDay(double seconds, int epochYear, float offsetHours);

// Microseconds since 1970-01-01 00:00:00 UTC (an Instant), moved by
// offsetHours, as the day and second EpochSecondsToDay gives for the same
// moment: whole seconds toward the past, the years 100..9999. Exact where
// a double of seconds is not.
std::optional<DayAndSecond> InstantToDay(int64_t microseconds, float offsetHours);
// The offset as whole microseconds, as InstantToDay adds it; nullopt for
// one no clock could have.
std::optional<int64_t> OffsetMicroseconds(float offsetHours);
// The same with the offset already in microseconds, as a million rows'
// times are turned with one offset.
std::optional<DayAndSecond> InstantToDayAt(int64_t microseconds, int64_t offsetMicroseconds);

// Seconds since 00:00:00 of 1 January of epochYear, moved by offsetHours,
// walked year by year to a calendar date; fractions of a second are dropped.
// nullopt for a value that leaves the years 100..9999 (only a damaged store
// holds one) and for NaN.
std::optional<DateTime> EpochSecondsToDate(double seconds, int epochYear, float offsetHours);

// Unix seconds and Chrome microseconds (since 1601) with a given offset.
std::optional<DateTime> UnixTimeToDateAt(double seconds, float offsetHours);
std::optional<DateTime> WebKitTimeToDateAt(double microseconds, float offsetHours);

}  // namespace tmr
