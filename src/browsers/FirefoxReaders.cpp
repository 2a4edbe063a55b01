#include "browsers/FirefoxReaders.h"

#include "browsers/MSQLite.h"
#include "common/ModCovert.h"

namespace tmr {

Cells FirefoxUrlCells(const SqliteRow& row) {
  return MakeCells(row.Text(0), row.Text(1), PRTimeValueToDateText(row.Number(2)));
}

Cells FirefoxCookieCells(const SqliteRow& row) {
  return MakeCells(row.Text(0), row.Text(1), PRTimeValueToDateText(row.Number(2)),
                   PRTimeValueToDateText(row.Number(3)));
}

Cells FirefoxDownloadCells(const SqliteRow& row) {
  return MakeCells(DropLeadingCharacters(row.Text(2), 8), row.Text(1), PRTimeValueToDateText(row.Number(3)),
                   PRTimeValueToDateText(row.Number(4)));
}

Cells FirefoxFormHistoryCells(const SqliteRow& row) {
  return MakeCells(row.Text(0), row.Text(1), row.Text(2), PRTimeValueToDateText(row.Number(3)),
                   PRTimeValueToDateText(row.Number(4)));
}

std::string DropLeadingCharacters(std::string_view text, std::size_t count) {
  std::size_t pos = 0;
  std::size_t units = 0;
  while (pos < text.size() && units < count) {
    auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    units += length == 4 ? 2 : 1;  // a character above U+FFFF is two units
    pos += length;
  }
  return pos < text.size() ? std::string(text.substr(pos)) : std::string();
}

void ReadFirefoxURLs(ListTarget& list, const std::string& file) {
  FillList(list, {file, kFirefoxVisitPagesSql, FirefoxUrlCells, kFirefoxVisitsCountSql}, ListPace::kProgress);
}

void ReadFirefoxCookies(ListTarget& list, const std::string& file, const std::string& sql) {
  FillList(list, {file, sql, FirefoxCookieCells, kFirefoxCookiesCountSql}, ListPace::kProgress);
}

void ReadFirefoxDownloads(ListTarget& list, const std::string& file, const std::string& sql) {
  FillList(list, {file, sql, FirefoxDownloadCells, ""}, ListPace::kLive);
}

void ReadFirefoxFormHistory(ListTarget& list, const std::string& file, const std::string& sql) {
  FillList(list, {file, sql, FirefoxFormHistoryCells, ""}, ListPace::kLive);
}

}  // namespace tmr
