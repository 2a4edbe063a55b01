// Where the main window's controls go when its inner size changes. Sizes
// are in twips. A size that a control would refuse (a negative width or
// height) is left out, so only its own line is skipped.
#pragma once

#include <optional>

#include "core/Twips.h"

namespace tmr {

// Fixed places and sizes of the main window, in twips.
struct MainGeometry {
  static constexpr int kInnerWidth = 13020;
  static constexpr int kInnerHeight = 8055;
  static constexpr int kTreeLeft = 120;
  static constexpr int kTreeTop = 120;
  // The tree's width until the user drags the bar between tree and list.
  static constexpr int kTreeWidth = 2820;
  static constexpr int kMinTreeWidth = 1200;
  static constexpr int kSplitterWidth = 60;
  static constexpr int kListLeft = kTreeLeft + kTreeWidth + kSplitterWidth;
  // The filter box sits above the list, as wide as the list.
  static constexpr int kFilterTop = 120;
  static constexpr int kFilterHeight = 315;
  static constexpr int kListTop = kFilterTop + kFilterHeight + 60;
  // The narrowest list a drag of the bar leaves.
  static constexpr int kMinListWidth = 1500;
  static constexpr int kStatusHeight = 255;
  static constexpr int kCancelWidth = 615;
  static constexpr int kCancelHeight = 255;
  static constexpr int kLabelWidth = 4815;
  static constexpr int kLabelHeight = 255;
};

struct MainLayout {
  std::optional<int> treeHeight;
  std::optional<int> listHeight;
  std::optional<int> listWidth;  // also the filter box's
  std::optional<int> panel1Width;
  int listLeft = MainGeometry::kListLeft;  // also the filter box's
  int labelLeft = 0;
  int labelTop = 0;
  int cancelLeft = 0;
  int cancelTop = 0;
};

MainLayout ComputeMainLayout(int innerWidth, int innerHeight, int treeWidth = MainGeometry::kTreeWidth);

// The tree's width a drag (or a stored width) asks for, kept between the
// narrowest tree and the narrowest list the inner width allows.
int ClampTreeWidth(int requested, int innerWidth);

}  // namespace tmr
