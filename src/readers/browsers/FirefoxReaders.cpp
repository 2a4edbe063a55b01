#include "readers/browsers/FirefoxReaders.h"

#include "readers/browsers/BrowserProfiles.h"
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

namespace {

void ReadProfileFile(const char* name, DatabaseQuery query, ReadPace pace, const ReadContext& context, RowSink& rows,
                     ReadProgress& progress) {
  std::string folder = FirefoxProfileFolder();
  if (folder.empty()) return;
  query.file = folder + "\\" + name;
  ReadDatabase(query, pace, context, rows, progress);
}

}  // namespace

ReadOutcome ReadFirefoxUrlHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadProfileFile("places.sqlite", {"", kFirefoxVisitPagesSql, FirefoxUrlCells, kFirefoxVisitsCountSql},
                  ReadPace::kProgress, context, rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadFirefoxCookies(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadProfileFile("cookies.sqlite", {"", kFirefoxCookiesSql, FirefoxCookieCells, kFirefoxCookiesCountSql},
                  ReadPace::kProgress, context, rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadFirefoxDownloads(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadProfileFile("downloads.sqlite", {"", kFirefoxDownloadsSql, FirefoxDownloadCells, ""}, ReadPace::kLive, context,
                  rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadFirefoxInputHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadProfileFile("places.sqlite", {"", kFirefoxInputHistorySql, SingleColumnCells, ""}, ReadPace::kLive, context, rows,
                  progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadFirefoxFormHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadProfileFile("formhistory.sqlite", {"", kFirefoxFormHistorySql, FirefoxFormHistoryCells, ""}, ReadPace::kLive,
                  context, rows, progress);
  return ReadOutcome::kRead;
}

}  // namespace tmr
