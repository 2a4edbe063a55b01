#include "readers/browsers/ChromeReaders.h"

#include <string>

#include "platform/SharedFile.h"
#include "readers/browsers/SqliteLibrary.h"

namespace tmr {
namespace {

const std::string& ChosenProfile(ChromiumBrowser browser, const ReadContext& context) {
  return browser == ChromiumBrowser::kEdge ? context.profiles.edge : context.profiles.chrome;
}

// A file of the chosen profile; "" without a profile folder, which reads
// nothing.
std::string ProfileFile(ChromiumBrowser browser, const ReadContext& context, const char* name) {
  std::string folder = ChromiumProfileFolder(browser, ChosenProfile(browser, context), SourceOf(context));
  return folder.empty() ? folder : folder + "\\" + name;
}

void Read(ChromiumBrowser browser, DatabaseQuery query, ReadPace pace, const ReadContext& context, RowSink& rows,
          ReadProgress& progress) {
  // Only this PC's browser can hold its files.
  if (SourceOf(context).Live()) query.browserProcess = ChromiumProcessName(browser);
  ReadDatabase(query, pace, context, rows, progress);
}

ReadOutcome UrlHistory(ChromiumBrowser browser, const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  const char* sql = context.purpose == ReadPurpose::kReport ? kReportChromeUrlsSql : kChromeUrlsSql;
  Read(browser, {ProfileFile(browser, context, "History"), sql, ChromeUrlCells, kChromeUrlsCountSql, {"urls"}},
       ReadPace::kProgress, context, rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome Cookies(ChromiumBrowser browser, const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  const std::string folder = ChromiumProfileFolder(browser, ChosenProfile(browser, context), SourceOf(context));
  if (folder.empty()) return ReadOutcome::kRead;
  Read(browser, {ChromiumCookieFile(folder), kChromeCookiesSql, ChromeCookieCells, kChromeCookiesCountSql, {"cookies"}},
       ReadPace::kProgress, context, rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome Downloads(ChromiumBrowser browser, const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  DatabaseQuery query{
      ProfileFile(browser, context, "History"), kChromeDownloadsSql, ChromeDownloadCells, "", {"downloads"}};
  query.fitToFile = [](SqliteSession& session, DatabaseQuery& fitted) {
    if (session.HasColumn("downloads", "full_path")) return;
    fitted.sql = kChromeChainDownloadsSql;
    fitted.shape = ChromeChainDownloadCells;
    fitted.tables = {"downloads", "downloads_url_chains"};
  };
  Read(browser, std::move(query), ReadPace::kLive, context, rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome TopSites(ChromiumBrowser browser, const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  DatabaseQuery query{
      ProfileFile(browser, context, "Top Sites"), kChromeTopSitesSql, ChromeTopSiteCells, "", {"thumbnails"}};
  query.fitToFile = [](SqliteSession& session, DatabaseQuery& fitted) {
    if (session.HasTable("thumbnails")) return;
    fitted.sql = kChromeTopSitesTableSql;
    fitted.tables = {"top_sites"};
  };
  Read(browser, std::move(query), ReadPace::kLive, context, rows, progress);
  return ReadOutcome::kRead;
}

ReadOutcome Keywords(ChromiumBrowser browser, const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  Read(browser,
       {ProfileFile(browser, context, "History"), kChromeKeywordsSql, SingleColumnCells, "", {"keyword_search_terms"}},
       ReadPace::kLive, context, rows, progress);
  return ReadOutcome::kRead;
}

}  // namespace

void ChromeUrlCells(const SqliteRow& row, RowCells& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  out.AddCountColumn(row, 2);
  AddChromeTime(out, row, 3);
}

void ChromeCookieCells(const SqliteRow& row, RowCells& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  AddChromeTime(out, row, 2);
  AddChromeTime(out, row, 3);
}

void ChromeDownloadCells(const SqliteRow& row, RowCells& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  AddUnixTime(out, row, 2);
}

void ChromeChainDownloadCells(const SqliteRow& row, RowCells& out) {
  out.AddColumn(row, 0);
  out.AddColumn(row, 1);
  AddChromeTime(out, row, 2);
}

void ChromeTopSiteCells(const SqliteRow& row, RowCells& out) {
  out.AddColumn(row, 0);
  out.AddCountColumn(row, 1);
  out.AddColumn(row, 2);
}

std::string ChromiumCookieFile(const std::string& profileFolder) {
  const std::string network = profileFolder + "\\Network\\Cookies";
  return FileExists(network) ? network : profileFolder + "\\Cookies";
}

ReadOutcome ReadChromeUrlHistory(const ReadContext& c, RowSink& r, ReadProgress& p) {
  return UrlHistory(ChromiumBrowser::kChrome, c, r, p);
}
ReadOutcome ReadChromeCookies(const ReadContext& c, RowSink& r, ReadProgress& p) {
  return Cookies(ChromiumBrowser::kChrome, c, r, p);
}
ReadOutcome ReadChromeDownloads(const ReadContext& c, RowSink& r, ReadProgress& p) {
  return Downloads(ChromiumBrowser::kChrome, c, r, p);
}
ReadOutcome ReadChromeTopSites(const ReadContext& c, RowSink& r, ReadProgress& p) {
  return TopSites(ChromiumBrowser::kChrome, c, r, p);
}
ReadOutcome ReadChromeKeywords(const ReadContext& c, RowSink& r, ReadProgress& p) {
  return Keywords(ChromiumBrowser::kChrome, c, r, p);
}

ReadOutcome ReadEdgeUrlHistory(const ReadContext& c, RowSink& r, ReadProgress& p) {
  return UrlHistory(ChromiumBrowser::kEdge, c, r, p);
}
ReadOutcome ReadEdgeCookies(const ReadContext& c, RowSink& r, ReadProgress& p) {
  return Cookies(ChromiumBrowser::kEdge, c, r, p);
}
ReadOutcome ReadEdgeDownloads(const ReadContext& c, RowSink& r, ReadProgress& p) {
  return Downloads(ChromiumBrowser::kEdge, c, r, p);
}
ReadOutcome ReadEdgeTopSites(const ReadContext& c, RowSink& r, ReadProgress& p) {
  return TopSites(ChromiumBrowser::kEdge, c, r, p);
}
ReadOutcome ReadEdgeKeywords(const ReadContext& c, RowSink& r, ReadProgress& p) {
  return Keywords(ChromiumBrowser::kEdge, c, r, p);
}

}  // namespace tmr
