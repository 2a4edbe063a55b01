#include "core/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tmr {
namespace {

bool IsIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }

int DigitValue(char c, int radix) {
  int v = -1;
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  return (v >= 0 && v < radix) ? v : -1;
}

// "&H" and "&O" numbers keep the integer width they fit: up to 16 bits they
// read as a signed 16-bit value, up to 32 bits as a signed 32-bit value.
LeadingNumber ParseRadix(const std::string& s, size_t pos, int radix) {
  uint64_t v = 0;
  bool any = false;
  bool overflow = false;
  for (; pos < s.size(); ++pos) {
    int d = DigitValue(s[pos], radix);
    if (d < 0) break;
    any = true;
    if (v > (std::numeric_limits<uint64_t>::max() - static_cast<uint64_t>(d)) / static_cast<uint64_t>(radix)) {
      overflow = true;
    } else {
      v = v * static_cast<uint64_t>(radix) + static_cast<uint64_t>(d);
    }
  }
  if (!any) return {0.0, false};
  if (overflow) return {std::numeric_limits<double>::infinity(), true};
  if (v <= 0xFFFF) return {static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(v))), true};
  if (v <= 0xFFFFFFFFull) return {static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v))), true};
  return {static_cast<double>(v), true};
}

}  // namespace

LeadingNumber ParseLeadingNumber(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (!IsIgnored(c)) s.push_back(c);
  }

  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return ParseRadix(s, 2, 16);
    if (s[1] == 'O' || s[1] == 'o') return ParseRadix(s, 2, 8);
    return {0.0, false};
  }

  size_t pos = 0;
  std::string number;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
  bool digits = false;
  bool point = false;
  for (; pos < s.size(); ++pos) {
    char c = s[pos];
    if (c >= '0' && c <= '9') {
      number.push_back(c);
      digits = true;
    } else if (c == '.' && !point) {
      number.push_back(c);
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return {0.0, false};

  // An exponent counts only when digits follow its letter (and sign).
  if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e' || s[pos] == 'D' || s[pos] == 'd')) {
    size_t e = pos + 1;
    std::string exponent = "e";
    if (e < s.size() && (s[e] == '+' || s[e] == '-')) exponent.push_back(s[e++]);
    size_t firstDigit = e;
    while (e < s.size() && s[e] >= '0' && s[e] <= '9') exponent.push_back(s[e++]);
    if (e > firstDigit) number += exponent;
  }
  // from_chars ignores the C locale, so a comma locale cannot change the
  // meaning of ".".
  double value = 0.0;
  auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    value = (number.find("e-") != std::string::npos) ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return {negative ? -value : value, true};
}

std::optional<int32_t> RoundToInt32(double value) {
  if (std::isnan(value)) return std::nullopt;
  double r = std::nearbyint(value);  // default rounding mode: halves to even
  if (r >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

}  // namespace tmr
