#include "platform/LocalTimeText.h"

#include <array>
#include <atomic>
#include <memory>
#include <charconv>
#include <climits>
#include <cmath>

#include "core/CivilDate.h"
#include "core/LeadingNumber.h"
#include "core/TextUtil.h"
#include "core/TimePicture.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

ClockReading Reading(const SYSTEMTIME& st) { return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute}; }

// The platform's date functions take no year before 1601. The Gregorian
// calendar repeats itself every 400 years, weekdays included, so such a
// date is formatted 400 years later and its year put back.
constexpr int kCalendarCycle = 400;

std::string FormatDatePart(const SYSTEMTIME& st, int realYear) {
  wchar_t buffer[128] = {};
  if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128) <= 1) return {};
  std::string text = Narrow(buffer);
  if (realYear != st.wYear) {
    std::string shown = std::to_string(st.wYear);
    if (size_t at = text.find(shown); at != std::string::npos) text.replace(at, shown.size(), std::to_string(realYear));
  }
  return text;
}

std::string LocaleText(LCTYPE type) {
  wchar_t buffer[128] = {};
  return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 128) > 1 ? Narrow(buffer) : std::string();
}

// What the conversions need of the clocks and the user's settings, read at
// most once a second: a read of 100,000 rows would otherwise spend most of
// its time asking for them, and within a second neither the zone nor the
// settings change under a user's eyes.
struct ViewingSettings {
  static constexpr size_t kDateSlots = 1024;
  ULONGLONG readAt = 0;
  unsigned choiceChanges = 0;
  float offset = 0;
  // The same in microseconds; nullopt for an offset no clock could have.
  std::optional<int64_t> offsetMicroseconds = 0;
  TimePicture time;
  // Short date texts by day number, one slot per day modulo the size: the
  // rows of a list come from a few hundred days at most.
  std::array<std::pair<int64_t, std::string>, kDateSlots> dates;
};

std::atomic<bool> g_timesInUtc = false;
// Counts the changes of that choice: every cache of the settings is read
// afresh after one.
std::atomic<unsigned> g_choiceChanges = 0;

ViewingSettings& Refreshed(ViewingSettings& settings) {
  const ULONGLONG now = GetTickCount64();
  const unsigned changes = g_choiceChanges.load(std::memory_order_acquire);
  if (settings.readAt == 0 || now - settings.readAt >= 1000 || changes != settings.choiceChanges) {
    settings.choiceChanges = changes;
    settings.readAt = now;
    settings.offset = g_timesInUtc ? 0.0f : LocalUtcOffsetHours();
    settings.offsetMicroseconds = OffsetMicroseconds(settings.offset);
    settings.time = TimePicture(LocaleText(LOCALE_STIMEFORMAT), LocaleText(LOCALE_S1159), LocaleText(LOCALE_S2359));
    for (auto& slot : settings.dates) slot.first = INT64_MIN;
  }
  return settings;
}

// The window thread's: the lists, the report and the readers use these.
ViewingSettings& Settings() {
  static ViewingSettings settings;
  return Refreshed(settings);
}

// The short date text of a day, by its number (see CivilDate.h).
const std::string& DateText(ViewingSettings& settings, int64_t day) {
  auto& slot = settings.dates[static_cast<uint64_t>(day) % ViewingSettings::kDateSlots];
  if (slot.first == day) return slot.second;
  const CivilDate date = CivilFromDays(day);
  SYSTEMTIME st{};
  int year = date.year;
  while (year < 1601) year += kCalendarCycle;
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(date.month);
  st.wDay = static_cast<WORD>(date.day);
  slot = {day, FormatDatePart(st, date.year)};
  return slot.second;
}

// The date, and the time unless it is midnight.
void AppendDayAndTime(std::string& out, ViewingSettings& settings, int64_t day, int hour, int minute, int second) {
  const std::string& date = DateText(settings, day);
  if (hour == 0 && minute == 0 && second == 0) {
    out += date;
    return;
  }
  // Put together on the stack and appended once: a million rows' times
  // are a million appends, not four million.
  char text[128];
  if (date.size() + 1 + settings.time.MaxLength() > sizeof text) {
    out += date;
    out += ' ';
    settings.time.AppendTo(out, hour, minute, second);
    return;
  }
  char* end = CopyShortText(text, date);
  *end++ = ' ';
  end += settings.time.WriteTo(end, hour, minute, second);
  out.append(text, static_cast<std::size_t>(end - text));
}

}  // namespace

float LocalUtcOffsetHours() {
  SYSTEMTIME local{};
  SYSTEMTIME utc{};
  GetLocalTime(&local);
  GetSystemTime(&utc);
  return UtcOffsetFromClocks(Reading(local), Reading(utc));
}

void SetTimesInUtc(bool on) {
  g_timesInUtc = on;
  // The offset is read afresh on the next conversion.
  g_choiceChanges.fetch_add(1, std::memory_order_release);
}

bool TimesInUtc() { return g_timesInUtc; }

std::optional<DateTime> UnixTimeToDate(double seconds) { return UnixTimeToDateAt(seconds, Settings().offset); }

std::optional<DateTime> WebKitTimeToDate(double microseconds) {
  return WebKitTimeToDateAt(microseconds, Settings().offset);
}

std::optional<DateTime> FileTimeToDate(const FILETIME& fileTime) {
  FILETIME local = fileTime;
  SYSTEMTIME st{};
  if (!g_timesInUtc && !FileTimeToLocalFileTime(&fileTime, &local)) return std::nullopt;
  if (!FileTimeToSystemTime(&local, &st)) return std::nullopt;
  if (st.wYear < 100 || st.wYear > 9999) return std::nullopt;
  return DateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::string GeneralDateText(const std::optional<DateTime>& value) {
  std::string text;
  AppendGeneralDateText(text, value);
  return text;
}

void AppendGeneralDateText(std::string& out, const std::optional<DateTime>& value) {
  if (!value) return;
  AppendDayAndTime(out, Settings(), DaysFromCivil({value->year, value->month, value->day}), value->hour, value->minute,
                   value->second);
}

void AppendEpochDateText(std::string& out, double seconds, int epochYear) {
  ViewingSettings& settings = Settings();
  const std::optional<DayAndSecond> moment = EpochSecondsToDay(seconds, epochYear, settings.offset);
  if (!moment) return;
  const int second = moment->second;
  AppendDayAndTime(out, settings, moment->day, second / 3600, second / 60 % 60, second % 60);
}

namespace {

void AppendInstantTextBy(std::string& out, ViewingSettings& settings, Instant instant) {
  if (!settings.offsetMicroseconds) return;
  const std::optional<DayAndSecond> moment = InstantToDayAt(instant, *settings.offsetMicroseconds);
  if (!moment) return;
  const int second = moment->second;
  AppendDayAndTime(out, settings, moment->day, second / 3600, second / 60 % 60, second % 60);
}

}  // namespace

void AppendInstantText(std::string& out, Instant instant) { AppendInstantTextBy(out, Settings(), instant); }

Instant InstantOfShownTime(const SYSTEMTIME& shown) {
  const int64_t days = DaysFromCivil({shown.wYear, shown.wMonth, shown.wDay});
  const int64_t seconds = days * 86400 + shown.wHour * 3600 + shown.wMinute * 60 + shown.wSecond;
  const auto offset = static_cast<int64_t>(std::lround(static_cast<double>(Settings().offset) * 3600.0));
  return (seconds - offset) * kMicrosecondsPerSecond;
}

SYSTEMTIME ShownTimeOf(Instant instant) {
  SYSTEMTIME shown{};
  const std::optional<DayAndSecond> moment = InstantToDay(instant, Settings().offset);
  if (!moment) return shown;
  const CivilDate date = CivilFromDays(moment->day);
  shown.wYear = static_cast<WORD>(date.year);
  shown.wMonth = static_cast<WORD>(date.month);
  shown.wDay = static_cast<WORD>(date.day);
  shown.wHour = static_cast<WORD>(moment->second / 3600);
  shown.wMinute = static_cast<WORD>(moment->second / 60 % 60);
  shown.wSecond = static_cast<WORD>(moment->second % 60);
  return shown;
}

Instant InstantNow() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return InstantFromFileTime((uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
}

namespace {

class ViewerFormat final : public CellFormat {
 public:
  void AppendTime(std::string& out, Instant instant) const override { AppendInstantText(out, instant); }
};

}  // namespace

const CellFormat& ViewerCellFormat() {
  static const ViewerFormat format;
  return format;
}

struct OwnClockCellFormat::Cache {
  ViewingSettings settings;
};

OwnClockCellFormat::OwnClockCellFormat() : cache_(std::make_unique<Cache>()) {}
OwnClockCellFormat::~OwnClockCellFormat() = default;

void OwnClockCellFormat::AppendTime(std::string& out, Instant instant) const {
  AppendInstantTextBy(out, Refreshed(cache_->settings), instant);
}

double StoredNumber(std::string_view text) {
  // Stored times are plain digits; those skip the general parse, which
  // copies the text first.
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (!text.empty() && text.size() <= 18 && text.find_first_not_of("-0123456789") == std::string_view::npos) {
    int64_t value = 0;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error == std::errc() && stop == end) return static_cast<double>(value);
  }
  return ParseLeadingNumber(text).value;
}

std::string PRTimeToDateText(std::string_view text) { return PRTimeValueToDateText(StoredNumber(text)); }

std::string PRTimeValueToDateText(double microseconds) {
  std::string text;
  AppendPRTimeText(text, microseconds);
  return text;
}

void AppendPRTimeText(std::string& out, double microseconds) {
  double seconds = microseconds / 1000000.0;
  if (seconds == 0) return;
  AppendEpochDateText(out, seconds, 1970);
}

}  // namespace tmr
