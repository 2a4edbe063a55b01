#include "readers/browsers/FirefoxReaders.h"

#include "readers/browsers/SqliteLibrary.h"

namespace tmr {

void FirefoxUrlCells(const SqliteRow& row, RowTexts& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  AddPRTime(out, row.Number(2));
}

void FirefoxCookieCells(const SqliteRow& row, RowTexts& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  AddPRTime(out, row.Number(2));
  AddPRTime(out, row.Number(3));
}

void FirefoxDownloadCells(const SqliteRow& row, RowTexts& out) {
  out.Add(DropLeadingCharacters(row.View(2, out.Buffer()), 8));
  out.AddColumn(row, 1);
  AddPRTime(out, row.Number(3));
  AddPRTime(out, row.Number(4));
}

void FirefoxFormHistoryCells(const SqliteRow& row, RowTexts& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  out.AddColumn(row, 2);
  AddPRTime(out, row.Number(3));
  AddPRTime(out, row.Number(4));
}

std::string_view DropLeadingCharacters(std::string_view text, std::size_t count) {
  std::size_t pos = 0;
  std::size_t units = 0;
  while (pos < text.size() && units < count) {
    auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    units += length == 4 ? 2 : 1;  // a character above U+FFFF is two units
    pos += length;
  }
  return pos < text.size() ? text.substr(pos) : std::string_view();
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
