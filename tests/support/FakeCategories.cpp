#include "support/FakeCategories.h"

#include <array>
#include <utility>

namespace tmr::test {
namespace {

FakeCategories* active = nullptr;
constexpr std::size_t kMaxCategories = 64;

template <std::size_t I>
ReadOutcome FakeRead(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  return active ? active->Read(I, context, rows, progress) : ReadOutcome::kRead;
}

template <std::size_t... I>
constexpr std::array<CategoryReader, sizeof...(I)> MakeReaders(std::index_sequence<I...>) {
  return {FakeRead<I>...};
}

constexpr auto kReaders = MakeReaders(std::make_index_sequence<kMaxCategories>());

std::size_t IndexOf(const CategoryTable& table, Category category) {
  return static_cast<std::size_t>(&table.Of(category) - table.categories.data());
}

}  // namespace

FakeCategories::FakeCategories()
    : categories_(Categories().categories.begin(), Categories().categories.end()),
      table_{categories_, Categories().treeGroups, Categories().reportGroups},
      readers_(categories_.size()),
      runs_(categories_.size()) {
  for (std::size_t i = 0; i < categories_.size() && i < kReaders.size(); ++i) categories_[i].read = kReaders[i];
  active = this;
}

FakeCategories::~FakeCategories() { active = nullptr; }

void FakeCategories::Set(Category category, Reader read) { readers_[IndexOf(table_, category)] = std::move(read); }

void FakeCategories::SetRows(Category category, std::vector<std::vector<std::string>> rows) {
  Set(category, [rows](const ReadContext&, RowSink& sink, ReadProgress&) {
    for (const auto& row : rows) {
      std::vector<std::string_view> cells(row.begin(), row.end());
      sink.AddTextRow(cells);
    }
    return ReadOutcome::kRead;
  });
}

int FakeCategories::Runs(Category category) const { return runs_[IndexOf(table_, category)]; }

ReadOutcome FakeCategories::Read(std::size_t index, const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ++runs_[index];
  return readers_[index] ? readers_[index](context, rows, progress) : ReadOutcome::kRead;
}

}  // namespace tmr::test
