#include "app/ListModel.h"

#include <algorithm>
#include <cstring>

#include "core/TextUtil.h"

namespace tmr {
namespace {

constexpr std::size_t kBlockBytes = 1 << 20;

uint32_t ReadU32(const char* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The text of one cell of a row record, or "" past its last cell.
std::string_view RecordCell(const char* record, std::size_t column) {
  uint32_t count = ReadU32(record);
  const char* p = record + 4;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t length = ReadU32(p);
    if (i == column) return {p + 4, length};
    p += 4 + length;
  }
  return {};
}

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

// Whether x comes after y in the order wanted: by the key's cell, the
// other way round when descending.
bool ComesAfter(std::string_view x, std::string_view y, bool descending) {
  const int order = CompareCells(x, y);
  return descending ? order < 0 : order > 0;
}

// Rows sorted by the key the other way round (the header clicked again)
// are these reversed, with each run of equal cells put back in its order:
// a pass instead of a sort. False, changing nothing, for rows not in that
// order (rows added since they were sorted).
bool ReverseSortedRows(std::vector<const char*>& rows, std::size_t key, bool descending) {
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (ComesAfter(RecordCell(rows[i - 1], key), RecordCell(rows[i], key), !descending)) return false;
  }
  std::reverse(rows.begin(), rows.end());
  for (std::size_t start = 0; start < rows.size();) {
    const std::string_view cell = RecordCell(rows[start], key);
    std::size_t end = start + 1;
    while (end < rows.size() && CompareCells(RecordCell(rows[end], key), cell) == 0) ++end;
    std::reverse(rows.begin() + static_cast<std::ptrdiff_t>(start), rows.begin() + static_cast<std::ptrdiff_t>(end));
    start = end;
  }
  return true;
}

// A stable sort by the key's cell, found once per row rather than once per
// comparison.
void SortRows(std::vector<const char*>& rows, std::size_t key, bool descending) {
  if (rows.size() < 2 || ReverseSortedRows(rows, key, descending)) return;
  struct KeyedRow {
    std::string_view cell;
    const char* record;
  };
  std::vector<KeyedRow> keyed;
  keyed.reserve(rows.size());
  for (const char* record : rows) keyed.push_back({RecordCell(record, key), record});
  std::stable_sort(keyed.begin(), keyed.end(), [descending](const KeyedRow& x, const KeyedRow& y) {
    return ComesAfter(y.cell, x.cell, descending);
  });
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = keyed[i].record;
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
  blocks_.clear();
  blockUsed_ = 0;
  blockSize_ = 0;
  columns_.clear();
  sortKey_ = -1;
  descending_ = false;
  shown_.clear();
  shown_.shrink_to_fit();
  // With no rows left, a pending pass is complete: its filter applies to
  // the rows added from now on.
  if (pending_) shownSearch_ = std::move(passSearch_);
  pending_ = false;
  kept_ = {};
}

void ListModel::AddColumn(std::string header, int widthTwips) { columns_.push_back({std::move(header), widthTwips}); }

char* ListModel::Allocate(std::size_t bytes) {
  if (blocks_.empty() || blockUsed_ + bytes > blockSize_) {
    blockSize_ = std::max(bytes, kBlockBytes);
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(blockSize_));
    blockUsed_ = 0;
  }
  char* at = blocks_.back().get() + blockUsed_;
  blockUsed_ += bytes;
  return at;
}

void ListModel::AddRowTexts(std::span<const std::string_view> cells) {
  std::size_t bytes = 4;
  for (std::string_view cell : cells) bytes += 4 + cell.size();
  char* record = Allocate(bytes);
  uint32_t count = static_cast<uint32_t>(cells.size());
  std::memcpy(record, &count, 4);
  char* p = record + 4;
  for (std::string_view cell : cells) {
    uint32_t length = static_cast<uint32_t>(cell.size());
    std::memcpy(p, &length, 4);
    CopyShortText(p + 4, cell);
    p += 4 + cell.size();
  }
  rows_.push_back(record);
  if (Filtering() && Keeps(shownSearch_, record)) shown_.push_back(record);
}

void ListModel::ReserveRows(std::size_t rows) {
  // A store's count, not a promise: a damaged one may claim any number.
  constexpr std::size_t kMostReserved = std::size_t{1} << 24;
  rows_.reserve(std::min(rows, kMostReserved));
}

void ListModel::AddRow(const std::vector<std::string>& cells) {
  std::string_view views[16];
  if (cells.size() <= 16) {
    for (std::size_t i = 0; i < cells.size(); ++i) views[i] = cells[i];
    AddRowTexts(std::span<const std::string_view>(views, cells.size()));
    return;
  }
  std::vector<std::string_view> many(cells.begin(), cells.end());
  AddRowTexts(many);
}

std::string_view ListModel::Cell(std::size_t row, std::size_t column) const {
  const std::vector<const char*>& shown = Shown();
  if (row >= shown.size()) return {};
  return RecordCell(shown[row], column);
}

bool ListModel::Keeps(const CaseBlindSearch& search, const char* record) const {
  const std::size_t cells = std::min<std::size_t>(ReadU32(record), columns_.size());
  const char* p = record + 4;
  for (std::size_t i = 0; i < cells; ++i) {
    const uint32_t length = ReadU32(p);
    if (search.FoundIn({p + 4, length})) return true;
    p += 4 + length;
  }
  return false;
}

void ListModel::SetFilter(std::string_view text) {
  if (text == filterText_) return;
  filterText_ = text;
  CaseBlindSearch search(text);
  kept_.clear();
  pending_ = false;
  // Back to the shown filter, or the same in another letter case.
  if (search.Folded() == shownSearch_.Folded()) return;
  if (search.Empty()) {
    shownSearch_ = {};
    shown_ = {};
    return;
  }
  pending_ = true;
  passOverShown_ = Filtering() && search.Narrows(shownSearch_);
  passSearch_ = std::move(search);
  passNext_ = 0;
}

bool ListModel::ContinueFilter(std::size_t rows) {
  if (!pending_) return true;
  const std::vector<const char*>& source = passOverShown_ ? shown_ : rows_;
  const std::size_t end = passNext_ + std::min(rows, source.size() - passNext_);
  for (; passNext_ < end; ++passNext_) {
    if (Keeps(passSearch_, source[passNext_])) kept_.push_back(source[passNext_]);
  }
  if (passNext_ < source.size()) return false;
  shown_ = std::move(kept_);
  kept_ = {};
  shownSearch_ = std::move(passSearch_);
  passSearch_ = {};
  pending_ = false;
  return true;
}

std::optional<std::size_t> ListModel::FindRow(std::string_view text, std::size_t from, bool wrap, bool whole) const {
  const std::vector<const char*>& shown = Shown();
  auto matches = [&](std::size_t row) {
    const std::string_view cell = RecordCell(shown[row], 0);
    if (cell.size() < text.size() || (whole && cell.size() != text.size())) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (Fold(cell[i]) != Fold(text[i])) return false;
    }
    return true;
  };
  for (std::size_t row = from; row < shown.size(); ++row) {
    if (matches(row)) return row;
  }
  for (std::size_t row = 0; wrap && row < std::min(from, shown.size()); ++row) {
    if (matches(row)) return row;
  }
  return std::nullopt;
}

void ListModel::ClickColumn(int column) {
  if (column < 0) return;
  // The shown rows are sorted with the rest, so they must be the filter's.
  FinishFilter();
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
  // Sorting both lists alike keeps the shown rows in the order they have
  // among all rows: equal rows keep their earlier order in each.
  for (std::vector<const char*>* rows : {&rows_, &shown_}) SortRows(*rows, key, descending_);
}

}  // namespace tmr
