#include "app/OsVersionMap.h"

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

}  // namespace tmr
