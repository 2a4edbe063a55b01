#include "app/ListModel.h"

#include <algorithm>

namespace tmr {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

unsigned char Fold(char c) {
  auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// Compares the digit runs starting at a[i] and b[j] by value and advances
// both indices past them.
int CompareDigitRuns(std::string_view a, size_t& i, std::string_view b, size_t& j) {
  while (i < a.size() && a[i] == '0' && i + 1 < a.size() && IsDigit(a[i + 1])) ++i;
  while (j < b.size() && b[j] == '0' && j + 1 < b.size() && IsDigit(b[j + 1])) ++j;
  size_t ai = i;
  size_t bj = j;
  while (ai < a.size() && IsDigit(a[ai])) ++ai;
  while (bj < b.size() && IsDigit(b[bj])) ++bj;
  size_t lenA = ai - i;
  size_t lenB = bj - j;
  int result = 0;
  if (lenA != lenB) {
    result = lenA < lenB ? -1 : 1;
  } else {
    int c = a.substr(i, lenA).compare(b.substr(j, lenB));
    result = (c < 0) ? -1 : (c > 0 ? 1 : 0);
  }
  i = ai;
  j = bj;
  return result;
}

}  // namespace

int CompareCells(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      int c = CompareDigitRuns(a, i, b, j);
      if (c != 0) return c;
      continue;
    }
    unsigned char ca = Fold(a[i]);
    unsigned char cb = Fold(b[j]);
    if (ca != cb) return ca < cb ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

void ListModel::Clear() {
  rows_.clear();
  rows_.shrink_to_fit();
  columns_.clear();
  sortKey_ = -1;
  descending_ = false;
}

void ListModel::AddColumn(std::string header, int widthTwips) {
  columns_.push_back({std::move(header), widthTwips});
}

void ListModel::AddRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }

std::string_view ListModel::Cell(std::size_t row, std::size_t column) const {
  if (row >= rows_.size()) return {};
  const auto& cells = rows_[row];
  if (column >= cells.size()) return {};
  return cells[column];
}

void ListModel::ClickColumn(int column) {
  if (column < 0) return;
  if (column == sortKey_) {
    descending_ = !descending_;
  } else {
    sortKey_ = column;
    descending_ = false;
  }
  Sort();
}

void ListModel::Sort() {
  const auto key = static_cast<std::size_t>(sortKey_);
  auto cell = [key](const std::vector<std::string>& row) -> std::string_view {
    return key < row.size() ? std::string_view(row[key]) : std::string_view();
  };
  if (descending_) {
    std::stable_sort(rows_.begin(), rows_.end(),
                     [&](const auto& x, const auto& y) { return CompareCells(cell(y), cell(x)) < 0; });
  } else {
    std::stable_sort(rows_.begin(), rows_.end(),
                     [&](const auto& x, const auto& y) { return CompareCells(cell(x), cell(y)) < 0; });
  }
}

}  // namespace tmr
