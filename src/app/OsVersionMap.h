// Maps what the Windows version query returns to the family text that the
// readers compare with ("95", "98", "Vista").
#pragma once

#include <cstdint>
#include <string>

namespace tmr {

inline constexpr uint32_t kPlatformWin9x = 1;  // VER_PLATFORM_WIN32_WINDOWS
inline constexpr uint32_t kPlatformNt = 2;     // VER_PLATFORM_WIN32_NT

std::string MapWindowsVersion(uint32_t platformId, uint32_t major, uint32_t minor);

}  // namespace tmr
