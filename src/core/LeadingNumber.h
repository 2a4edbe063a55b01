// The leading-number parse used for the version file and for numbers in the
// settings file: blanks, tabs and line feeds are ignored wherever they stand;
// then "&H"/"&O" radix forms, or an optional sign, digits with at most one
// decimal point and an optional exponent. The first other character ends
// the number; a text without one reads as 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tmr {

struct LeadingNumber {
  double value = 0.0;
  bool found = false;  // false when the text holds no leading number
};

LeadingNumber ParseLeadingNumber(std::string_view text);

// Rounds half to even and clamps to the signed 32-bit range; NaN gives
// nullopt.
std::optional<int32_t> RoundToInt32(double value);

}  // namespace tmr
