#include "app/ListExport.h"

#include <vector>

#include "core/CellValue.h"

namespace tmr {
namespace {

std::vector<std::string> Headers(const ListModel& model) {
  std::vector<std::string> headers;
  for (std::size_t i = 0; i < model.ColumnCount(); ++i) headers.push_back(model.ColumnAt(i).header);
  return headers;
}

// Hands a shown row's cells to the writer.
void AddShownRow(ExportWriter& writer, const ListModel& model, std::size_t row, std::vector<CellValue>& cells) {
  cells.clear();
  for (std::size_t i = 0; i < model.ColumnCount(); ++i) cells.push_back(model.Cell(row, i));
  writer.AddRow(cells);
}

template <typename EachRow>
std::string TabSeparated(const ListModel& model, EachRow eachRow) {
  std::string text;
  ExportWriter writer(ExportFormat::kTabSeparated, Headers(model), model.Format(),
                      [&](std::string_view bytes) { text += bytes; });
  writer.Begin({});
  std::vector<CellValue> cells;
  eachRow([&](std::size_t row) { AddShownRow(writer, model, row, cells); });
  writer.End();
  // The clipboard's text has no byte-order mark.
  return text.substr(3);
}

}  // namespace

std::string TabSeparatedText(const ListModel& model, std::span<const std::size_t> shownRows) {
  return TabSeparated(model, [&](auto add) {
    for (std::size_t row : shownRows) add(row);
  });
}

std::string TabSeparatedText(const ListModel& model) {
  return TabSeparated(model, [&](auto add) {
    for (std::size_t row = 0; row < model.ShownCount(); ++row) add(row);
  });
}

void WriteExport(ExportFormat format, const ListModel& model, std::string_view title, const ExportSink& sink) {
  ExportWriter writer(format, Headers(model), model.Format(), sink);
  writer.Begin(title);
  std::vector<CellValue> cells;
  for (std::size_t row = 0; row < model.ShownCount(); ++row) AddShownRow(writer, model, row, cells);
  writer.End();
}

}  // namespace tmr
