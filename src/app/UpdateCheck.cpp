#include "app/UpdateCheck.h"

#include <cmath>
#include <limits>

#include "core/LeadingNumber.h"
#include "core/TextUtil.h"

namespace tmr {

std::optional<float> ParseVersionBody(std::string_view body) {
  const double value = ParseLeadingNumber(body).value;
  // Converting a double outside the float range is undefined; infinity
  // (an overflowing "&H" number) is no version either.
  if (!(std::fabs(value) <= std::numeric_limits<float>::max())) return std::nullopt;
  return static_cast<float>(value);
}

std::string FormatSingle(float value, std::string_view decimalSeparator) {
  return NumberText(static_cast<double>(value), 7, decimalSeparator);
}

UpdateDecision DecideUpdate(const std::optional<std::string>& body, float appVersion, bool autoCheck) {
  UpdateDecision decision;
  decision.newVersion = body ? ParseVersionBody(*body).value_or(1.0f) : 1.0f;
  if (decision.newVersion == 1.0f) {
    decision.step = autoCheck ? UpdateStep::kNothing : UpdateStep::kFailedMessage;
  } else if (decision.newVersion > appVersion) {
    decision.step = UpdateStep::kOfferNewVersion;
  } else {
    decision.step = autoCheck ? UpdateStep::kNothing : UpdateStep::kLatestMessage;
  }
  return decision;
}

std::string FailedToConnectText() { return "Failed to connect to server, please check your Internet connection"; }

std::string NewVersionQuestion(float newVersion, std::string_view decimalSeparator) {
  return "A new version " + FormatSingle(newVersion, decimalSeparator) +
         " is available for download now, would you like to download now?";
}

std::string LatestVersionText(float appVersion, std::string_view decimalSeparator) {
  return "You are using the latest version " + FormatSingle(appVersion, decimalSeparator) + " now";
}

std::string AboutVersionLine(float appVersion, std::string_view decimalSeparator) {
  return "Version " + FormatSingle(appVersion, decimalSeparator) + "  build 1000";
}

}  // namespace tmr
