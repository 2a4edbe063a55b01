#include "report/ReportLists.h"

#include "common/TextUtil.h"

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

std::vector<std::string> SplitFields(std::string_view entry) {
  std::vector<std::string> fields = Split(entry, "^");
  if (fields.empty()) fields.emplace_back();
  for (std::string& field : fields) {
    std::string plain;
    for (size_t i = 0; i < field.size(); ++i) {
      if (field[i] == '%' && field.compare(i, 3, "%25") == 0) {
        plain += '%';
        i += 2;
      } else if (field[i] == '%' && field.compare(i, 3, "%5E") == 0) {
        plain += '^';
        i += 2;
      } else {
        plain += field[i];
      }
    }
    field = std::move(plain);
  }
  return fields;
}

}  // namespace tmr
