#include "browsers/ChromeReaders.h"

#include "browsers/MSQLite.h"

namespace tmr {

Cells ChromeUrlCells(const SqliteRow& row) {
  return MakeCells(row.Text(0), row.Text(1), row.Text(2), ChromeTimeText(row.Number(3)));
}

Cells ChromeCookieCells(const SqliteRow& row) {
  return MakeCells(row.Text(0), row.Text(1), ChromeTimeText(row.Number(2)), ChromeTimeText(row.Number(3)));
}

Cells ChromeDownloadCells(const SqliteRow& row) {
  return MakeCells(row.Text(0), row.Text(1), UnixTimeText(row.Number(2)));
}

Cells ChromeTopSiteCells(const SqliteRow& row) { return MakeCells(row.Text(0), row.Text(1), row.Text(2)); }

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
