#include "app/ViewSettings.h"

#include <charconv>

#include "core/TextUtil.h"

namespace tmr {
namespace {

constexpr int kMaxTwips = 30000;
constexpr int kMaxCoordinate = 1000000;

// A whole number taking the entire text, within bounds.
std::optional<int> WholeNumber(std::string_view text, int lowest, int highest) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < lowest || value > highest) return std::nullopt;
  return value;
}

std::optional<std::vector<int>> Numbers(std::string_view text, std::size_t count, int lowest, int highest) {
  const std::vector<std::string> parts = Split(text, ",");
  if (parts.size() != count) return std::nullopt;
  std::vector<int> numbers;
  for (const std::string& part : parts) {
    auto number = WholeNumber(Trim(part), lowest, highest);
    if (!number) return std::nullopt;
    numbers.push_back(*number);
  }
  return numbers;
}

}  // namespace

std::optional<WindowPlace> ParseWindowPlace(std::string_view text) {
  auto n = Numbers(text, 5, -kMaxCoordinate, kMaxCoordinate);
  if (!n || (*n)[4] < 0 || (*n)[4] > 1) return std::nullopt;
  WindowPlace place{(*n)[0], (*n)[1], (*n)[2], (*n)[3], (*n)[4] == 1};
  if (place.right - place.left < 200 || place.bottom - place.top < 150) return std::nullopt;
  return place;
}

std::string WindowPlaceText(const WindowPlace& place) {
  return std::to_string(place.left) + "," + std::to_string(place.top) + "," + std::to_string(place.right) + "," +
         std::to_string(place.bottom) + "," + (place.maximized ? "1" : "0");
}

std::optional<std::vector<int>> ParseColumnWidths(std::string_view text, std::size_t columns) {
  if (columns == 0) return std::nullopt;
  return Numbers(text, columns, 0, kMaxTwips);
}

std::string ColumnWidthsText(std::span<const int> widths) {
  std::string text;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    if (i > 0) text += ',';
    text += std::to_string(widths[i]);
  }
  return text;
}

std::optional<int> ParseTreeWidth(std::string_view text) { return WholeNumber(Trim(text), 0, kMaxTwips); }

bool ParseSwitch(std::string_view text) { return Trim(text) == "1"; }

}  // namespace tmr
