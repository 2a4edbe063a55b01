#include "core/CivilDate.h"

#include <array>
#include <vector>

namespace tmr {
namespace {

int DaysInMonth(int y, int m) {
  static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return (m == 2 && IsLeapYear(y)) ? 29 : kDays[static_cast<size_t>(m - 1)];
}

struct NumberField {
  int value;
  int digits;
};

std::vector<NumberField> NumbersOf(std::string_view text) {
  std::vector<NumberField> numbers;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] >= '0' && text[i] <= '9') {
      int value = 0;
      int digits = 0;
      while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (digits < 9) value = value * 10 + (text[i] - '0');
        ++digits;
        ++i;
      }
      numbers.push_back({value, digits});
    } else {
      ++i;
    }
  }
  return numbers;
}

// The order of the d, M and y fields in a picture; quoted literals skipped.
std::string FieldOrder(std::string_view picture) {
  std::string order;
  bool quoted = false;
  for (char c : picture) {
    if (c == '\'') {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if ((c == 'd' || c == 'M' || c == 'y') && order.find(c) == std::string::npos) order.push_back(c);
  }
  return order;
}

int ExpandYear(const NumberField& f) {
  if (f.digits <= 2) return f.value < 50 ? 2000 + f.value : 1900 + f.value;
  return f.value;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsValidDate(const CivilDate& d) {
  return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= DaysInMonth(d.year, d.month);
}

CivilDate CivilFromDays(int64_t z) {
  z += 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int>(y + (m <= 2 ? 1 : 0)), m, d};
}

std::optional<CivilDate> ParseShortDate(std::string_view text, std::string_view picture) {
  std::vector<NumberField> numbers = NumbersOf(text);
  if (numbers.size() != 3) return std::nullopt;
  std::string order = FieldOrder(picture);
  if (order.size() != 3) return std::nullopt;
  if (numbers[0].digits == 4 && order[0] != 'y') order = "yMd";

  CivilDate date{0, 0, 0};
  for (size_t i = 0; i < 3; ++i) {
    const NumberField& f = numbers[i];
    if (f.digits > 4) return std::nullopt;
    switch (order[i]) {
      case 'y': date.year = ExpandYear(f); break;
      case 'M': date.month = f.value; break;
      case 'd': date.day = f.value; break;
    }
  }
  if (!IsValidDate(date)) return std::nullopt;
  return date;
}

bool ShouldAutoCheck(const std::optional<CivilDate>& lastCheck, const CivilDate& today, int32_t interval) {
  if (!lastCheck) return true;
  int64_t days = DaysFromCivil(today) - DaysFromCivil(*lastCheck);
  return days > interval;
}

}  // namespace tmr
