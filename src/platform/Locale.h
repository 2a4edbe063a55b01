// The user's date format and the local calendar date.
#pragma once

#include <string>

#include "core/CivilDate.h"

namespace tmr {

// The user's short-date picture, e.g. "M/d/yyyy" or "dd.MM.yyyy".
std::string UserShortDatePicture();

// A date as text in the user's short-date format.
std::string FormatShortDate(const CivilDate& date);

// Today's date on the local clock.
CivilDate LocalToday();

// The user's decimal separator, e.g. "." or ",".
std::string UserDecimalSeparator();

}  // namespace tmr
