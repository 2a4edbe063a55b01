// What the update check decides from the version text it fetched, and the
// texts it shows. Versions are single-precision numbers, as the program's
// own version is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tmr {

// The number at the start of a version text (the leading-number parse),
// held in single precision; 0 when the text has none, nullopt when the
// number lies beyond single precision ("1e39", "&HFFFFFFFFFFFFFFFFFF"),
// which the program's own version type could not have held.
std::optional<float> ParseVersionBody(std::string_view body);

// The standard text form of a single-precision number: up to 7 significant
// digits, no trailing zeros, no leading blank, the given decimal separator.
std::string FormatSingle(float value, std::string_view decimalSeparator);

enum class UpdateStep {
  kNothing,          // an automatic check that found no newer version
  kFailedMessage,    // "Failed to connect to server, ..."
  kLatestMessage,    // "You are using the latest version ..."
  kOfferNewVersion,  // the Yes/No question
};

struct UpdateDecision {
  UpdateStep step = UpdateStep::kNothing;
  float newVersion = 1.0f;
};

// body is nullopt when the fetch failed. The sentinel 1.0 (a failed fetch,
// a published "1", or a number beyond single precision, which is read as
// no reply at all) counts as a failed connection.
UpdateDecision DecideUpdate(const std::optional<std::string>& body, float appVersion, bool autoCheck);

std::string FailedToConnectText();
std::string NewVersionQuestion(float newVersion, std::string_view decimalSeparator);
std::string LatestVersionText(float appVersion, std::string_view decimalSeparator);

// The about box's line: "Version 5.2  build 1000".
std::string AboutVersionLine(float appVersion, std::string_view decimalSeparator);

}  // namespace tmr
