// Entry points for text and numbers: UTF-8 decoding, the leading-number
// parse, short dates, day counts and time stamps.
#include <cmath>
#include <string>

#include "FuzzInput.h"
#include "FuzzTargets.h"
#include "core/CivilDate.h"
#include "core/EpochTime.h"
#include "core/LeadingNumber.h"
#include "core/Utf8Text.h"

namespace tmr::fuzz {
namespace {

// Strict UTF-8: shortest forms, no surrogates, nothing past U+10FFFF.
bool WellFormed(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned lead = byte(i);
    size_t length = lead < 0x80                    ? 1
                    : lead >= 0xC2 && lead <= 0xDF ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || i + length > text.size()) return false;
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return false;
      value = value << 6 | (byte(i + k) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

bool ValidDateTime(const DateTime& t) {
  return IsValidDate({t.year, t.month, t.day}) && t.year >= 100 && t.hour >= 0 && t.hour < 24 && t.minute >= 0 &&
         t.minute < 60 && t.second >= 0 && t.second < 60;
}

}  // namespace

std::string CheckUtf8Text(std::string_view input) {
  const std::string decoded = Utf8Decode(input, Latin1StrayBytes());
  if (!WellFormed(decoded)) return "Utf8Decode gave malformed UTF-8";
  std::string appended = "x";
  Utf8DecodeAppend(appended, input, Latin1StrayBytes());
  if (appended != "x" + decoded) return "Utf8DecodeAppend differs from Utf8Decode";

  // The cell as SQLite hands it over: up to its first zero byte.
  const std::string_view cell = input.substr(0, input.find('\0'));
  std::string scratch = "left over";
  if (Utf8PtrToView(input.data(), input.size(), scratch, Latin1StrayBytes()) != Utf8Decode(cell, Latin1StrayBytes())) {
    return "Utf8PtrToView differs from decoding the bytes up to their zero";
  }
  if (Utf8PtrToString(input.data(), input.size(), Latin1StrayBytes()) != Utf8Decode(cell, Latin1StrayBytes())) {
    return "Utf8PtrToString differs from decoding the bytes up to their zero";
  }

  std::u16string units;
  for (size_t i = 0; i + 1 < input.size(); i += 2) {
    units.push_back(
        static_cast<char16_t>(static_cast<unsigned char>(input[i]) | static_cast<unsigned char>(input[i + 1]) << 8));
  }
  if (!WellFormed(Utf8Encode(units))) return "Utf8Encode gave malformed UTF-8";
  return "";
}

// The first byte chooses the function; the rest are its arguments.
std::string CheckNumbersAndDates(std::string_view input) {
  FuzzInput in(input);
  switch (in.Byte() % 5) {
    case 0: {
      const LeadingNumber number = ParseLeadingNumber(in.Rest());
      if (std::isnan(number.value)) return "a leading number that is NaN";
      if (!number.found && number.value != 0) return "no number found but a value given";
      RoundToInt32(number.value);
      return "";
    }
    case 1: {
      const std::string_view picture = in.Text('\0');
      const std::optional<CivilDate> date = ParseShortDate(in.Rest(), picture);
      if (date && !IsValidDate(*date)) return "ParseShortDate gave an invalid date";
      if (date && CivilFromDays(DaysFromCivil(*date)) != *date) return "a parsed date does not survive its day count";
      ShouldAutoCheck(date, {2026, 12, 8}, in.Number<int32_t>());
      return "";
    }
    case 2: {
      // Day counts of the years a date can show, and a bit beyond.
      const int64_t days = in.Number<int32_t>() % 5000000;
      if (DaysFromCivil(CivilFromDays(days)) != days) return "CivilFromDays does not invert DaysFromCivil";
      return "";
    }
    case 3: {
      // Time stamps from a database: any double, with the zone offsets
      // a clock can give.
      const double stamp = in.Number<double>();
      const float offset = static_cast<float>(in.Number<int8_t>() % 57) / 4.0f;
      for (const auto& date : {UnixTimeToDateAt(stamp, offset), WebKitTimeToDateAt(stamp, offset),
                               EpochSecondsToDate(stamp, 1601, offset)}) {
        if (date && !ValidDateTime(*date)) return "a time stamp gave an impossible date or time";
      }
      return "";
    }
    default: {
      const double from = in.Number<double>();
      const double to = in.Number<double>();
      const int32_t modulus = in.Number<int32_t>();
      const double distance = ClockDistance(from, to, modulus);
      if (!(distance >= 0) || (modulus >= 1 && distance >= modulus)) return "a clock distance off the face";
      return "";
    }
  }
}

}  // namespace tmr::fuzz
