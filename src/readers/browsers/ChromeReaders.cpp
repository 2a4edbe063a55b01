#include "readers/browsers/ChromeReaders.h"

#include "readers/browsers/SqliteLibrary.h"

namespace tmr {

void ChromeUrlCells(const SqliteRow& row, RowTexts& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  out.AddColumn(row, 2);
  AddChromeTime(out, row.Number(3));
}

void ChromeCookieCells(const SqliteRow& row, RowTexts& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  AddChromeTime(out, row.Number(2));
  AddChromeTime(out, row.Number(3));
}

void ChromeDownloadCells(const SqliteRow& row, RowTexts& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  AddUnixTime(out, row.Number(2));
}

void ChromeTopSiteCells(const SqliteRow& row, RowTexts& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  out.AddColumn(row, 2);
}

void ReadChromeURLs(ListTarget& list, const std::string& file, const std::string& sql) {
  FillList(list, {file, sql, ChromeUrlCells, kChromeUrlsCountSql}, ListPace::kProgress);
}

void ReadChromeCookies(ListTarget& list, const std::string& file, const std::string& sql) {
  FillList(list, {file, sql, ChromeCookieCells, kChromeCookiesCountSql}, ListPace::kProgress);
}

void ReadChromeDownloads(ListTarget& list, const std::string& file, const std::string& sql) {
  FillList(list, {file, sql, ChromeDownloadCells, ""}, ListPace::kLive);
}

void ReadChromeTopSites(ListTarget& list, const std::string& file, const std::string& sql) {
  FillList(list, {file, sql, ChromeTopSiteCells, ""}, ListPace::kLive);
}

}  // namespace tmr
