// The texts of one row of the activity history (the timeline's
// ActivitiesCache.db, table Activity): its Payload column, a JSON object,
// and its AppId column, a JSON array of {"platform", "application"} objects
// naming the program on each platform it exists for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/Utf8Text.h"

namespace tmr {

struct ActivityPayloadTexts {
  // What the row is about: "displayText", or where it is empty
  // "description", "appDisplayName", "contentUri", in that order.
  std::string title;
  std::string appDisplayName;
  std::string description;  // for a file opened, its full path
  std::string contentUri;   // file:, http(s): ...
  // "UserEngaged" in the rows of time a program was in use (ActivityType
  // 6), which hold no display text.
  std::string type;
  std::optional<int64_t> activeDurationSeconds;  // of those rows
};

// The payload's texts, each well-formed UTF-8 (stray bytes read through
// the table). Any text is taken: a payload that is no JSON object gives
// empty texts, a damaged one the members before the damage.
ActivityPayloadTexts DecodeActivityPayload(std::string_view payload, const StrayByteTable& stray);

// The program of an AppId: the application of its "windows_win32" entry,
// else of "x_exe_path", "windows_universal", "packageId", else the first
// entry that names any; a known folder at its start expanded. "" when no
// entry names one.
std::string ActivityApplication(std::string_view appId, const StrayByteTable& stray);

}  // namespace tmr
