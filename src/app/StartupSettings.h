// How the settings file's values become program values, including the
// fallbacks for a missing or damaged file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/CivilDate.h"

namespace tmr {

// What the settings reader returns for a key, section or file that is missing.
inline constexpr std::string_view kUnknownValue = "unknown value";

struct ReportFolderChoice {
  std::string folder;
  bool writeBack = false;  // store the folder in the settings file
};

// A stored folder is used as it stands; an empty or missing one is replaced
// by the documents folder (with its trailing "\"), which is then written back.
ReportFolderChoice ResolveReportFolder(std::string_view stored, std::string_view documentsFolder);

inline constexpr int32_t kDefaultCheckInterval = 7;

// The number at the start of the stored text, rounded (halves to even) and
// clamped to 32 bits; 7 days when the key is missing or holds no number.
int32_t ResolveCheckInterval(std::string_view stored);

// The stored last-check date read with the user's short-date picture;
// nullopt (never checked) when missing or unreadable.
std::optional<CivilDate> ResolveLastCheck(std::string_view stored, std::string_view shortDatePicture);

}  // namespace tmr
