#include "report/ReportLists.h"

#include <algorithm>

#include "core/TextUtil.h"

namespace tmr {

void AppendEntry(EntryList& list, std::string entry) {
  if (list.empty()) list.emplace_back();
  list.push_back(std::move(entry));
}

EntryList MergeA(const EntryList& first, const EntryList& second) {
  if (second.empty()) return first;
  if (first.empty()) return second;
  EntryList merged = first;
  merged.insert(merged.end(), second.begin(), second.end());
  return merged;
}

std::string JoinFields(const std::vector<std::string>& fields) {
  std::vector<std::string_view> views(fields.begin(), fields.end());
  return JoinFields(std::span<const std::string_view>(views));
}

std::string JoinFields(std::span<const std::string_view> fields) {
  std::string entry;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) entry += '^';
    for (char c : fields[i]) {
      if (c == '%') {
        entry += "%25";
      } else if (c == '^') {
        entry += "%5E";
      } else {
        entry += c;
      }
    }
  }
  return entry;
}

namespace {

std::string Unescape(std::string_view field) {
  std::string plain;
  plain.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field.compare(i, 3, "%25") == 0) {
      plain += '%';
      i += 2;
    } else if (field.compare(i, 3, "%5E") == 0) {
      plain += '^';
      i += 2;
    } else {
      plain += field[i];
    }
  }
  return plain;
}

}  // namespace

void SplitFieldViews(std::string_view entry, std::vector<std::string_view>& fields, std::vector<std::string>& store) {
  fields.clear();
  store.clear();
  // Views into store must stay valid while it grows.
  store.reserve(static_cast<size_t>(std::count(entry.begin(), entry.end(), '^')) + 1);
  size_t start = 0;
  while (true) {
    size_t end = entry.find('^', start);
    std::string_view field = entry.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (field.find('%') == std::string_view::npos) {
      fields.push_back(field);
    } else {
      store.push_back(Unescape(field));
      fields.push_back(store.back());
    }
    if (end == std::string_view::npos) return;
    start = end + 1;
  }
}

std::vector<std::string> SplitFields(std::string_view entry) {
  std::vector<std::string_view> views;
  std::vector<std::string> store;
  SplitFieldViews(entry, views, store);
  return std::vector<std::string>(views.begin(), views.end());
}

}  // namespace tmr
