#include "categories/Dispatch.h"

#include <array>

namespace tmr {

void SourceTable::Register(std::string key, SourceFn source) { sources_[std::move(key)] = std::move(source); }

const SourceFn* SourceTable::Find(std::string_view key) const {
  auto it = sources_.find(key);
  return it == sources_.end() ? nullptr : &it->second;
}

RowAction RowActionFor(std::string_view key) {
  static constexpr std::array<std::string_view, 8> kOpenText{"a1", "a2", "a4", "b1", "c1", "c3", "d1", "d3"};
  for (std::string_view k : kOpenText) {
    if (k == key) return RowAction::kOpenFirstColumn;
  }
  if (key == "a3") return RowAction::kOpenCookieFolder;
  return RowAction::kNothing;
}

}  // namespace tmr
