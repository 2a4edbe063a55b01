#include "app/StartupSettings.h"

#include "core/LeadingNumber.h"

namespace tmr {

ReportFolderChoice ResolveReportFolder(std::string_view stored, std::string_view documentsFolder) {
  if (!stored.empty() && stored != kUnknownValue) return {std::string(stored), false};
  return {std::string(documentsFolder), true};
}

int32_t ResolveCheckInterval(std::string_view stored) {
  if (stored == kUnknownValue) return kDefaultCheckInterval;
  LeadingNumber number = ParseLeadingNumber(stored);
  if (!number.found) return kDefaultCheckInterval;
  return RoundToInt32(number.value).value_or(kDefaultCheckInterval);
}

std::optional<CivilDate> ResolveLastCheck(std::string_view stored, std::string_view shortDatePicture) {
  if (stored.empty() || stored == kUnknownValue) return std::nullopt;
  return ParseShortDate(stored, shortDatePicture);
}

}  // namespace tmr
