#include "core/OsVersionMap.h"

#include <charconv>

#include "core/TextUtil.h"

namespace tmr {

std::string MapWindowsVersion(uint32_t platformId, uint32_t major, uint32_t minor) {
  if (platformId == kPlatformWin9x) {
    if (minor == 0) return "95";
    if (minor == 10 || minor == 90) return "98";
    return "";
  }
  if (platformId == kPlatformNt) {
    switch (major) {
      case 3: return "Windows NT 3.51";
      case 4: return "98";  // NT 4 is handled like 98, not like 2000
      case 5:
        if (minor == 0) return "2000";
        if (minor == 1) return "xp";
        return "";
      case 6: return "Vista";  // every 6.x release
      default: return "";
    }
  }
  return "Failed";
}

std::string WindowsFamilyOfInstalledVersion(std::string_view currentVersion, std::string_view productName) {
  const std::string text = Trim(currentVersion);
  uint32_t major = 0;
  uint32_t minor = 0;
  const char* end = text.data() + text.size();
  auto [afterMajor, majorError] = std::from_chars(text.data(), end, major);
  if (majorError == std::errc() && afterMajor < end && *afterMajor == '.') {
    auto [afterMinor, minorError] = std::from_chars(afterMajor + 1, end, minor);
    if (minorError == std::errc() && afterMinor == end) {
      return MapWindowsVersion(kPlatformNt, major >= 6 ? 6 : major, minor);
    }
  }
  if (ContainsIgnoreCase(productName, "windows xp")) return "xp";
  if (ContainsIgnoreCase(productName, "windows 2000")) return "2000";
  for (const char* later : {"windows vista", "windows 7", "windows 8", "windows 10", "windows 11"}) {
    if (ContainsIgnoreCase(productName, later)) return "Vista";
  }
  return "";
}

}  // namespace tmr
