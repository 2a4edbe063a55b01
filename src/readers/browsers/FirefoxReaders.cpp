#include "readers/browsers/FirefoxReaders.h"

#include "core/DownloadTexts.h"
#include "platform/LocalTimeText.h"
#include "platform/SharedFile.h"
#include "readers/browsers/BrowserProfiles.h"
#include "readers/browsers/SqliteLibrary.h"

namespace tmr {

void FirefoxUrlCells(const SqliteRow& row, RowCells& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  AddPRTime(out, row, 2);
}

void FirefoxCookieCells(const SqliteRow& row, RowCells& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  AddPRTime(out, row, 2);
  AddPRTime(out, row, 3);
}

void FirefoxDownloadCells(const SqliteRow& row, RowCells& out) {
  out.Add(DropLeadingCharacters(row.View(2, out.Buffer()), 8));
  out.AddColumn(row, 1);
  AddPRTime(out, row, 3);
  AddPRTime(out, row, 4);
}

void FirefoxAnnotatedDownloadCells(const SqliteRow& row, RowCells& out) {
  std::string& path = out.Buffer();
  path = FileUriToWindowsPath(row.Text(0));
  out.Add(path);
  out.AddColumn(row, 1);
  AddPRTime(out, row, 2);
  // Milliseconds in the metadata; no end when it does not parse.
  const auto ms = DownloadEndTimeMs(row.Text(3));
  out.Add(ms ? PRTimeCell(*ms * 1000.0) : CellValue::Text({}));
}

void FirefoxFormHistoryCells(const SqliteRow& row, RowCells& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  out.AddCountColumn(row, 2);
  AddPRTime(out, row, 3);
  AddPRTime(out, row, 4);
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
  std::string folder = FirefoxProfileFolder(context.profiles.firefox, SourceOf(context));
  if (folder.empty()) return;
  query.file = folder + "\\" + name;
  ReadDatabase(query, pace, context, rows, progress);
}

}  // namespace

ReadOutcome ReadFirefoxUrlHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadProfileFile(
      "places.sqlite",
      {"", kFirefoxVisitPagesSql, FirefoxUrlCells, kFirefoxVisitsCountSql, {"moz_historyvisits", "moz_places"}},
      ReadPace::kProgress, context, rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadFirefoxCookies(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadProfileFile("cookies.sqlite",
                  {"", kFirefoxCookiesSql, FirefoxCookieCells, kFirefoxCookiesCountSql, {"moz_cookies"}},
                  ReadPace::kProgress, context, rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadFirefoxDownloads(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  const std::string folder = FirefoxProfileFolder(context.profiles.firefox, SourceOf(context));
  if (folder.empty()) return ReadOutcome::kRead;
  if (FileExists(folder + "\\downloads.sqlite")) {
    ReadProfileFile("downloads.sqlite", {"", kFirefoxDownloadsSql, FirefoxDownloadCells, "", {"moz_downloads"}},
                    ReadPace::kLive, context, rows, progress);
  } else {
    ReadProfileFile("places.sqlite",
                    {"",
                     kFirefoxAnnotatedDownloadsSql,
                     FirefoxAnnotatedDownloadCells,
                     "",
                     {"moz_annos", "moz_anno_attributes", "moz_places"}},
                    ReadPace::kLive, context, rows, progress);
  }
  return ReadOutcome::kRead;
}

ReadOutcome ReadFirefoxInputHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadProfileFile("places.sqlite", {"", kFirefoxInputHistorySql, SingleColumnCells, "", {"moz_inputhistory"}},
                  ReadPace::kLive, context, rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadFirefoxFormHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadProfileFile("formhistory.sqlite", {"", kFirefoxFormHistorySql, FirefoxFormHistoryCells, "", {"moz_formhistory"}},
                  ReadPace::kLive, context, rows, progress);
  return ReadOutcome::kRead;
}

}  // namespace tmr
