#include "categories/CategoryTable.h"

#include <stdexcept>

namespace tmr {
namespace {

template <typename Entry, typename Id>
const Entry& Find(std::span<const Entry> entries, Id id) {
  for (const Entry& entry : entries) {
    if (entry.id == id) return entry;
  }
  throw std::out_of_range("no such entry in the category table");
}

}  // namespace

const CategoryInfo& CategoryTable::Of(Category id) const { return Find(categories, id); }
const TreeGroupInfo& CategoryTable::Of(TreeGroup id) const { return Find(treeGroups, id); }
const ReportGroupInfo& CategoryTable::Of(ReportGroup id) const { return Find(reportGroups, id); }

const CategoryInfo* CategoryTable::FindCategory(std::string_view key) const {
  for (const CategoryInfo& entry : categories) {
    if (entry.key == key) return &entry;
  }
  return nullptr;
}

std::string CategoryTable::FullName(const CategoryInfo& category) const {
  return std::string(Of(category.treeGroup).shortName) + " - " + std::string(category.nodeText);
}

const CategoryInfo* CategoryTable::FindCategoryNamed(std::string_view fullName) const {
  for (const CategoryInfo& entry : categories) {
    if (FullName(entry) == fullName) return &entry;
  }
  return nullptr;
}

const TreeGroupInfo* CategoryTable::FindTreeGroup(std::string_view key) const {
  for (const TreeGroupInfo& entry : treeGroups) {
    if (entry.key == key) return &entry;
  }
  return nullptr;
}

}  // namespace tmr
