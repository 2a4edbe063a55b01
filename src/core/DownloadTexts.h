// What the Firefox download records of today hold as text: the target as a
// file URI and the metadata as JSON.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tmr {

// "file:///C:/My%20Files/a.txt" as "C:\My Files\a.txt": the scheme cut,
// percent-escapes decoded (as UTF-8; bytes that do not form it are read one
// by one), "/" turned into "\". A text that is no file URI comes back as it
// is.
std::string FileUriToWindowsPath(std::string_view uri);

// The "endTime" of a download's metadata (milliseconds since 1970); nullopt
// when the JSON does not parse or holds no such number.
std::optional<double> DownloadEndTimeMs(std::string_view metaData);

}  // namespace tmr
