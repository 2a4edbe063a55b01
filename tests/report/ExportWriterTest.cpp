#include <gtest/gtest.h>

#include "core/JsonText.h"
#include "report/ExportWriter.h"

namespace tmr {
namespace {

// The fields of one CSV record as RFC 4180 reads them.
std::vector<std::string> CsvFields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"' && fields.back().empty()) {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

std::string Written(ExportFormat format, std::span<const CellValue> row) {
  std::string out;
  ExportWriter writer(format, {"Cell", "After"}, UtcIsoCellFormat(), [&](std::string& piece) { out += piece; });
  writer.AddRow(row);
  writer.End();
  return out;
}

// Cells are scanned many bytes at a time: a character that asks for quoting
// or escaping is found at every place in cells of every length around the
// scan's width, and a NUL ends the shown text wherever it is.
TEST(ExportWriter, EverySpecialCharacterIsFoundWhereverItIs) {
  const std::string specials = std::string(",\"\r\n\t\\", 6) + '\0' + '\x01';
  for (std::size_t length = 1; length <= 50; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const char special : specials) {
        std::string cell(length, 'x');
        cell[at] = special;
        const CellValue row[] = {CellValue::Text(cell), CellValue::Text("end")};
        const std::string shown = cell.substr(0, cell.find('\0'));
        std::string trace(1, 'L');
        trace += std::to_string(length);
        trace += " at ";
        trace += std::to_string(at);
        trace += " char ";
        trace += std::to_string(static_cast<int>(special));
        SCOPED_TRACE(trace);

        const std::string csv = Written(ExportFormat::kCsv, row);
        ASSERT_TRUE(csv.ends_with(",end\r\n"));
        EXPECT_EQ(CsvFields(csv.substr(0, csv.size() - 2)), (std::vector<std::string>{shown, "end"}));

        std::string tabbed = shown;
        for (char& c : tabbed) {
          if (c == '\t' || c == '\r' || c == '\n') c = ' ';
        }
        EXPECT_EQ(Written(ExportFormat::kTabSeparated, row), tabbed + "\tend\r\n");

        const std::string json = Written(ExportFormat::kJsonLines, row);
        const auto value = ParseJson(json);
        ASSERT_TRUE(value) << json;
        ASSERT_TRUE(value->Member("Cell") && value->Member("Cell")->String());
        EXPECT_EQ(*value->Member("Cell")->String(), shown);
      }
    }
  }
}

// A sink that takes each piece whole, as a file's block writer does, gets
// every byte once and in order, whatever string it hands back.
TEST(ExportWriter, ASinkMayTakeThePiecesAway) {
  std::string kept;
  std::string joined;
  ExportWriter writer(
      ExportFormat::kCsv, {"N", "Time"}, UtcIsoCellFormat(),
      [&](std::string& piece) {
        joined += piece;
        std::swap(piece, kept);  // the piece before comes back, still full
      },
      100);
  writer.Begin("x");
  std::string expected = "\xEF\xBB\xBFN,Time\r\n";
  for (int n = 0; n < 200; ++n) {
    const CellValue row[] = {CellValue::Number(n - 100), CellValue::Time(int64_t{n} * kMicrosecondsPerSecond)};
    writer.AddRow(row);
    expected += std::to_string(n - 100);
    expected += ",1970-01-01 00:0";
    expected += std::to_string(n / 60);
    expected += ':';
    if (n % 60 < 10) expected += '0';
    expected += std::to_string(n % 60);
    expected += "\r\n";
  }
  writer.End();
  EXPECT_EQ(joined, expected);
}

}  // namespace
}  // namespace tmr
