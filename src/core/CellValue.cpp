#include "core/CellValue.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/CivilDate.h"

namespace tmr {
namespace {

constexpr int64_t kMicrosecondsPerDay = 86400 * kMicrosecondsPerSecond;
// Doubles past this no longer fit a 64-bit count.
constexpr double kLargestCount = 9.2e18;

int64_t FloorDiv(int64_t value, int64_t divisor) {
  const int64_t quotient = value / divisor;
  return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

struct UtcParts {
  CivilDate date;
  int hour, minute, second, micro;
};

std::optional<UtcParts> SplitInstant(Instant instant) {
  const int64_t day = FloorDiv(instant, kMicrosecondsPerDay);
  const int64_t inDay = instant - day * kMicrosecondsPerDay;
  constexpr int64_t kFirstDay = DaysFromCivil({1, 1, 1});
  constexpr int64_t kLastDay = DaysFromCivil({9999, 12, 31});
  if (day < kFirstDay || day > kLastDay) return std::nullopt;
  const auto seconds = static_cast<int>(inDay / kMicrosecondsPerSecond);
  return UtcParts{CivilFromDays(day), seconds / 3600, seconds / 60 % 60, seconds % 60,
                  static_cast<int>(inDay % kMicrosecondsPerSecond)};
}

void AppendDigits(std::string& out, int value, int width) {
  char digits[12];
  int length = 0;
  for (int i = 0; i < width; ++i) {
    digits[width - 1 - i] = static_cast<char>('0' + value % 10);
    value /= 10;
    ++length;
  }
  out.append(digits, static_cast<std::size_t>(length));
}

void AppendDateAndTime(std::string& out, const UtcParts& parts, char between) {
  AppendDigits(out, parts.date.year, 4);
  out += '-';
  AppendDigits(out, parts.date.month, 2);
  out += '-';
  AppendDigits(out, parts.date.day, 2);
  out += between;
  AppendDigits(out, parts.hour, 2);
  out += ':';
  AppendDigits(out, parts.minute, 2);
  out += ':';
  AppendDigits(out, parts.second, 2);
}

class UtcIsoFormat final : public CellFormat {
 public:
  void AppendTime(std::string& out, Instant instant) const override {
    if (auto parts = SplitInstant(instant)) AppendDateAndTime(out, *parts, ' ');
  }
};

// Reads exactly `width` digits at text[at].
std::optional<int> DigitsAt(std::string_view text, std::size_t at, std::size_t width) {
  if (at + width > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = at; i < at + width; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

std::optional<Instant> InstantFromMicroseconds1601(int64_t microseconds) {
  if (microseconds < std::numeric_limits<int64_t>::min() + kMicroseconds1601To1970) return std::nullopt;
  return microseconds - kMicroseconds1601To1970;
}

std::optional<Instant> InstantFromMicrosecondsValue(double microseconds, int64_t epochOffset) {
  if (!std::isfinite(microseconds) || std::fabs(microseconds) > kLargestCount) return std::nullopt;
  const auto whole = static_cast<int64_t>(std::floor(microseconds));
  if (epochOffset > 0 && whole < std::numeric_limits<int64_t>::min() + epochOffset) return std::nullopt;
  return whole - epochOffset;
}

std::optional<Instant> InstantFromSecondsValue(double seconds) {
  if (!std::isfinite(seconds) || std::fabs(seconds) > kLargestCount / kMicrosecondsPerSecond) return std::nullopt;
  // The whole seconds apart from their fraction: seconds * 10^6 may round
  // a time a hair before a second up onto it.
  const double whole = std::floor(seconds);
  const auto fraction = static_cast<int64_t>(std::floor((seconds - whole) * kMicrosecondsPerSecond));
  return static_cast<int64_t>(whole) * kMicrosecondsPerSecond + std::min<int64_t>(fraction, kMicrosecondsPerSecond - 1);
}

Instant InstantFromFileTime(uint64_t ticks) { return static_cast<int64_t>(ticks / 10) - kMicroseconds1601To1970; }

void CellFormat::Append(std::string& out, const CellValue& cell) const {
  switch (cell.Kind()) {
    case CellKind::kText: out.append(cell.TextValue()); return;
    case CellKind::kNumber: {
      char digits[24];
      const auto written = std::to_chars(digits, digits + sizeof digits, cell.NumberValue());
      out.append(digits, written.ptr);
      return;
    }
    case CellKind::kTime: AppendTime(out, cell.TimeValue()); return;
  }
}

std::string CellFormat::Text(const CellValue& cell) const {
  std::string text;
  Append(text, cell);
  return text;
}

std::span<const std::string_view> CellTexts::Of(std::span<const CellValue> cells) {
  if (buffers_.size() < cells.size()) buffers_.resize(cells.size());
  views_.resize(cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].Kind() == CellKind::kText) {
      views_[i] = cells[i].TextValue();
      continue;
    }
    buffers_[i].clear();
    format_->Append(buffers_[i], cells[i]);
    views_[i] = buffers_[i];
  }
  return views_;
}

const CellFormat& UtcIsoCellFormat() {
  static const UtcIsoFormat format;
  return format;
}

std::optional<std::string> IsoUtcText(Instant instant) {
  const auto parts = SplitInstant(instant);
  if (!parts) return std::nullopt;
  std::string text;
  AppendDateAndTime(text, *parts, 'T');
  if (parts->micro != 0) {
    text += '.';
    AppendDigits(text, parts->micro, 6);
  }
  text += 'Z';
  return text;
}

std::optional<Instant> ParseIsoUtcText(std::string_view text) {
  const auto year = DigitsAt(text, 0, 4);
  const auto month = DigitsAt(text, 5, 2);
  const auto day = DigitsAt(text, 8, 2);
  const auto hour = DigitsAt(text, 11, 2);
  const auto minute = DigitsAt(text, 14, 2);
  const auto second = DigitsAt(text, 17, 2);
  if (!year || !month || !day || !hour || !minute || !second || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
      text[13] != ':' || text[16] != ':') {
    return std::nullopt;
  }
  const CivilDate date{*year, *month, *day};
  if (!IsValidDate(date) || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
  int micro = 0;
  std::size_t at = 19;
  if (at < text.size() && text[at] == '.') {
    const auto digits = DigitsAt(text, at + 1, 6);
    if (!digits) return std::nullopt;
    micro = *digits;
    at += 7;
  }
  if (at + 1 != text.size() || text[at] != 'Z') return std::nullopt;
  const int64_t seconds = DaysFromCivil(date) * 86400 + *hour * 3600 + *minute * 60 + *second;
  return seconds * kMicrosecondsPerSecond + micro;
}

}  // namespace tmr
