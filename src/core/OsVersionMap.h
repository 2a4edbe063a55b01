// Maps what the Windows version query returns to the family text that the
// readers compare with ("95", "98", "Vista"), and the version a copied
// system's SOFTWARE hive records to the text the program would have found
// running on it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tmr {

inline constexpr uint32_t kPlatformWin9x = 1;  // VER_PLATFORM_WIN32_WINDOWS
inline constexpr uint32_t kPlatformNt = 2;     // VER_PLATFORM_WIN32_NT

std::string MapWindowsVersion(uint32_t platformId, uint32_t major, uint32_t minor);

// "Microsoft\Windows NT\CurrentVersion" of a SOFTWARE hive: CurrentVersion
// ("5.1", "6.1") and ProductName. Systems after Windows 8 still record 6.3
// there, and the version query of a program that declares no newer system
// says 6.2 on them, so every version from 6 on is "Vista". Without a
// readable CurrentVersion the product name decides; "" when neither does.
std::string WindowsFamilyOfInstalledVersion(std::string_view currentVersion, std::string_view productName);

}  // namespace tmr
