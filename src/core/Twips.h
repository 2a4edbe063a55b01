// Twips, the unit the windows are laid out in (1440 to the inch), and
// their size in pixels at a given screen resolution.
#pragma once

namespace tmr {

inline constexpr int kTwipsPerInch = 1440;

int TwipsToPixels(int twips, int dpi);
int PixelsToTwips(int pixels, int dpi);

}  // namespace tmr
