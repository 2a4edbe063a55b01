// The program's category table with every reader replaced by one the test
// sets, for tests of the window and the report around the readers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "categories/CategoryTable.h"

namespace tmr::test {

class FakeCategories {
 public:
  using Reader = std::function<ReadOutcome(const ReadContext&, RowSink&, ReadProgress&)>;

  // Until set, a category's reader lists nothing. One instance at a time.
  FakeCategories();
  ~FakeCategories();
  FakeCategories(const FakeCategories&) = delete;
  FakeCategories& operator=(const FakeCategories&) = delete;

  const CategoryTable& Table() const { return table_; }
  void Set(Category category, Reader read);
  // A reader that lists these rows.
  void SetRows(Category category, std::vector<std::vector<std::string>> rows);
  int Runs(Category category) const;

  // Used by the fake readers.
  ReadOutcome Read(std::size_t index, const ReadContext& context, RowSink& rows, ReadProgress& progress);

 private:
  std::vector<CategoryInfo> categories_;
  CategoryTable table_;
  std::vector<Reader> readers_;
  std::vector<int> runs_;
};

}  // namespace tmr::test
