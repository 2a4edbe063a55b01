// Program-wide values of the viewer. They live for the whole run; Main sets
// them before the main window exists, tests set them directly.
#pragma once

#include <string>

namespace tmr {

// Windows family text ("95", "98", "2000", "xp", "Vista", ...). Readers only
// compare it with "Vista", "95" or "98".
inline std::string OsVersion;

// The program's own version, compared with the published one in single
// precision.
inline float AppVersion = 5.2f;

// Folder in which reports are written and from which they are opened.
inline std::string ReportFolder;

// Days between automatic update checks.
inline int CheckInterval = 7;

// The product web site (no trailing "/") and the maker's page.
inline std::string SiteAddress;
inline std::string MakerPageAddress;

}  // namespace tmr
