// What tmere.ini keeps of the window between runs, as text: its place and
// size, the tree's width, the column widths of each category and the
// "Times in UTC" choice. The values come from a file anyone can edit, so
// each is read strictly and a value out of bounds reads as none.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

// Section and key names in tmere.ini.
inline constexpr char kViewSection[] = "view";
inline constexpr char kWindowKey[] = "Window";
inline constexpr char kTreeWidthKey[] = "TreeWidth";
inline constexpr char kTimesInUtcKey[] = "TimesInUtc";
// One key per category, named by the category's key.
inline constexpr char kColumnWidthsSection[] = "ColumnWidths";

// The window's place when not maximised, in screen pixels, and whether it
// was maximised: "left,top,right,bottom,maximised" ("10,20,900,620,0").
struct WindowPlace {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool maximized = false;
  friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

// nullopt unless five whole numbers, a window at least 200 by 150 pixels
// and within a million pixels of the origin, and 0 or 1.
std::optional<WindowPlace> ParseWindowPlace(std::string_view text);
std::string WindowPlaceText(const WindowPlace& place);

// Widths in twips, one per column, comma-separated; nullopt unless there
// are exactly `columns` whole numbers from 0 to 30000.
std::optional<std::vector<int>> ParseColumnWidths(std::string_view text, std::size_t columns);
std::string ColumnWidthsText(std::span<const int> widths);

// The tree's width in twips, a whole number from 0 to 30000 (the layout
// keeps it within the window).
std::optional<int> ParseTreeWidth(std::string_view text);

// "1" is on; anything else, a missing key included, is off.
bool ParseSwitch(std::string_view text);

}  // namespace tmr
