#include "categories/CategoryTable.h"

#include <stdexcept>

namespace tmr {
namespace {

template <typename Spec, typename Id>
const Spec& Find(std::span<const Spec> specs, Id id) {
  for (const Spec& spec : specs) {
    if (spec.id == id) return spec;
  }
  throw std::out_of_range("no such entry in the category table");
}

}  // namespace

const CategorySpec& CategoryTable::Of(Category id) const { return Find(categories, id); }
const TreeGroupSpec& CategoryTable::Of(TreeGroup id) const { return Find(treeGroups, id); }
const ReportGroupSpec& CategoryTable::Of(ReportGroup id) const { return Find(reportGroups, id); }

const CategorySpec* CategoryTable::FindCategory(std::string_view key) const {
  for (const CategorySpec& spec : categories) {
    if (spec.key == key) return &spec;
  }
  return nullptr;
}

const TreeGroupSpec* CategoryTable::FindTreeGroup(std::string_view key) const {
  for (const TreeGroupSpec& spec : treeGroups) {
    if (spec.key == key) return &spec;
  }
  return nullptr;
}

}  // namespace tmr
