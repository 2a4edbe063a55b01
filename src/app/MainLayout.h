// Where the main window's controls go when its inner size changes. Sizes
// are in twips. A size that a control would refuse (a negative width or
// height) is left out, so only its own line is skipped.
#pragma once

#include <optional>

#include "core/Twips.h"

namespace tmr {

struct MainLayout {
  std::optional<int> treeHeight;
  std::optional<int> listHeight;
  std::optional<int> listWidth;
  std::optional<int> panel1Width;
  int labelLeft = 0;
  int labelTop = 0;
  int cancelLeft = 0;
  int cancelTop = 0;
};

MainLayout ComputeMainLayout(int innerWidth, int innerHeight);

// Fixed places and sizes of the main window, in twips.
struct MainGeometry {
  static constexpr int kInnerWidth = 13020;
  static constexpr int kInnerHeight = 8055;
  static constexpr int kTreeLeft = 120;
  static constexpr int kTreeTop = 120;
  static constexpr int kTreeWidth = 2895;
  static constexpr int kListLeft = 3000;
  static constexpr int kListTop = 120;
  static constexpr int kStatusHeight = 255;
  static constexpr int kCancelWidth = 615;
  static constexpr int kCancelHeight = 255;
  static constexpr int kLabelWidth = 4815;
  static constexpr int kLabelHeight = 255;
};

}  // namespace tmr
