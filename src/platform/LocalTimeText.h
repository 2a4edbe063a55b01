// The browsers' time stamps as the lists and the report show them: the
// zone offset in force at the moment of viewing (daylight-saving time
// included) applied to every stored time, whatever its season, and the
// text in the user's short date and long time format, the date alone at
// midnight. The conversions take the offset and the user's formats as read
// within the last second.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/CellValue.h"
#include "core/EpochTime.h"

namespace tmr {

// Worked out afresh from the local and the UTC clock.
float LocalUtcOffsetHours();

// The viewer's "Times in UTC": while on, the conversions below give UTC
// instead of local time (the offset is 0), in the same text. Off at start.
void SetTimesInUtc(bool on);
bool TimesInUtc();

// Seconds since 1970 and microseconds since 1601, both UTC, as local time.
std::optional<DateTime> UnixTimeToDate(double seconds);
std::optional<DateTime> WebKitTimeToDate(double microseconds);

// Through the platform's own conversion, which applies the zone bias in
// force now (none while times are shown in UTC).
std::optional<DateTime> FileTimeToDate(const FILETIME& fileTime);

// "12/7/2026 8:34:10 AM" under US settings; "" for a value out of range.
std::string GeneralDateText(const std::optional<DateTime>& value);
// The same text appended to out; a list of 100,000 rows writes its times
// this way into buffers it reuses.
void AppendGeneralDateText(std::string& out, const std::optional<DateTime>& value);

// Seconds since 1 January of epochYear (1970 or 1601), UTC, appended as
// the same text as AppendGeneralDateText of their local time; without the
// calendar date in between, for a list of a million times.
void AppendEpochDateText(std::string& out, double seconds, int epochYear);

// Cells as the lists, the report and the exports show them: times as the
// general-date text of their local time (or UTC, see SetTimesInUtc), by the
// settings in force when a cell is shown, not when it was read.
const CellFormat& ViewerCellFormat();
// The same texts, with a cache of the clock and the settings of its own,
// for times formatted on another thread than the window's (an export's
// formatting thread): ViewerCellFormat's cache is the window thread's.
class OwnClockCellFormat final : public CellFormat {
 public:
  OwnClockCellFormat();
  ~OwnClockCellFormat() override;
  void AppendTime(std::string& out, Instant instant) const override;

 private:
  struct Cache;
  std::unique_ptr<Cache> cache_;
};
// One instant's text, as ViewerCellFormat writes it; "" outside the years
// 100..9999.
void AppendInstantText(std::string& out, Instant instant);

// Dates and times as the lists show them (local time, or UTC while times
// are shown in UTC), for the date and time pickers: the instant a shown
// time stands for, and the shown time of an instant (whole seconds).
Instant InstantOfShownTime(const SYSTEMTIME& shown);
SYSTEMTIME ShownTimeOf(Instant instant);
// Now, as an instant.
Instant InstantNow();

// Microseconds since 1970 UTC, given as text, as general-date text; "" when
// the text holds no number or zero.
std::string PRTimeToDateText(std::string_view text);
std::string PRTimeValueToDateText(double microseconds);
void AppendPRTimeText(std::string& out, double microseconds);

// The number a stored time column holds (leading-number parse).
double StoredNumber(std::string_view text);

}  // namespace tmr
