#include "readers/browsers/ChromeReaders.h"

#include <string>

#include "platform/Processes.h"
#include "readers/browsers/BrowserProfiles.h"
#include "readers/browsers/SqliteLibrary.h"

namespace tmr {
namespace {

constexpr char kChromeProcess[] = "chrome.exe";

// "" without a profile folder, which reads nothing.
std::string ProfileFile(const char* name) {
  std::string folder = ChromeProfileFolder();
  return folder.empty() ? folder : folder + "\\" + name;
}

}  // namespace

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

ReadOutcome ReadChromeUrlHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  KillProcessByName(kChromeProcess);
  const char* sql = context.purpose == ReadPurpose::kReport ? kReportChromeUrlsSql : kChromeUrlsSql;
  ReadDatabase({ProfileFile("history"), sql, ChromeUrlCells, kChromeUrlsCountSql}, ReadPace::kProgress, context, rows,
               progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadChromeCookies(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  KillProcessByName(kChromeProcess);
  ReadDatabase({ProfileFile("Cookies"), kChromeCookiesSql, ChromeCookieCells, kChromeCookiesCountSql},
               ReadPace::kProgress, context, rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadChromeDownloads(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadDatabase({ProfileFile("history"), kChromeDownloadsSql, ChromeDownloadCells, ""}, ReadPace::kLive, context, rows,
               progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadChromeTopSites(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadDatabase({ProfileFile("Top Sites"), kChromeTopSitesSql, ChromeTopSiteCells, ""}, ReadPace::kLive, context, rows,
               progress);
  return ReadOutcome::kRead;
}

ReadOutcome ReadChromeKeywords(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  ReadDatabase({ProfileFile("history"), kChromeKeywordsSql, SingleColumnCells, ""}, ReadPace::kLive, context, rows,
               progress);
  return ReadOutcome::kRead;
}

}  // namespace tmr
