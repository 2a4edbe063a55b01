#include "platform/Locale.h"

#include <windows.h>

#include "platform/WinText.h"

namespace tmr {
namespace {

std::string LocaleText(LCTYPE type, const char* fallback) {
  wchar_t buffer[100] = {};
  int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 100);
  if (n <= 1) return fallback;
  return Narrow(buffer);
}

}  // namespace

std::string UserShortDatePicture() { return LocaleText(LOCALE_SSHORTDATE, "M/d/yyyy"); }

std::string UserDecimalSeparator() { return LocaleText(LOCALE_SDECIMAL, "."); }

std::string FormatShortDate(const CivilDate& date) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(date.year);
  st.wMonth = static_cast<WORD>(date.month);
  st.wDay = static_cast<WORD>(date.day);
  wchar_t buffer[100] = {};
  int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 100);
  if (n <= 1) return {};
  return Narrow(buffer);
}

CivilDate LocalToday() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay};
}

}  // namespace tmr
