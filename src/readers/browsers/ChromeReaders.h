// The readers of the Chromium-family browsers (Google Chrome, Microsoft
// Edge): the queries and row shapes of their five categories, fitted to the
// tables the profile's files have, and the readers that run them on the
// chosen profile.
#pragma once

#include "readers/browsers/BrowserProfiles.h"
#include "readers/browsers/BrowserReaders.h"

namespace tmr {

inline constexpr char kChromeUrlsSql[] = "SELECT url,title, visit_count,last_visit_time FROM urls where hidden<>1";
// The report lists hidden pages too.
inline constexpr char kReportChromeUrlsSql[] = "SELECT url,title, visit_count,last_visit_time FROM urls";
inline constexpr char kChromeUrlsCountSql[] = "select count(*) from urls";
inline constexpr char kChromeCookiesSql[] = "SELECT host_key,name,creation_utc,last_access_utc FROM cookies";
inline constexpr char kChromeCookiesCountSql[] = "select count(*) from cookies";
// Downloads up to History version 23.
inline constexpr char kChromeDownloadsSql[] = "SELECT full_path,url,start_time FROM downloads";
// From version 24: the path the download was saved to, the last URL of its
// chain (the one the browser shows), the start in Chrome time.
inline constexpr char kChromeChainDownloadsSql[] =
    "SELECT d.target_path, (SELECT c.url FROM downloads_url_chains AS c WHERE c.id = d.id "
    "ORDER BY c.chain_index DESC LIMIT 1), d.start_time FROM downloads AS d ORDER BY d.id";
inline constexpr char kChromeTopSitesSql[] = "SELECT url,url_rank,title FROM thumbnails order by url_rank";
// Top Sites from version 4 (2018).
inline constexpr char kChromeTopSitesTableSql[] = "SELECT url,url_rank,title FROM top_sites order by url_rank";
inline constexpr char kChromeKeywordsSql[] = "SELECT term FROM keyword_search_terms";

// url; title; visit count; last visit (Chrome time).
void ChromeUrlCells(const SqliteRow& row, RowCells& out);
// host; name; creation and last access (Chrome time).
void ChromeCookieCells(const SqliteRow& row, RowCells& out);
// path; source; start (Unix seconds in the old downloads table).
void ChromeDownloadCells(const SqliteRow& row, RowCells& out);
// path; source; start (Chrome time, from version 24).
void ChromeChainDownloadCells(const SqliteRow& row, RowCells& out);
// url; rank; title.
void ChromeTopSiteCells(const SqliteRow& row, RowCells& out);

// The cookie file of a profile: Network\Cookies since Chrome 96, the
// profile's own Cookies before.
std::string ChromiumCookieFile(const std::string& profileFolder);

// The browser is ended only when it holds a file so that nobody else can
// open it (Cookies since Chrome 114).
ReadOutcome ReadChromeUrlHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadChromeCookies(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadChromeDownloads(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadChromeTopSites(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadChromeKeywords(const ReadContext& context, RowSink& rows, ReadProgress& progress);

ReadOutcome ReadEdgeUrlHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadEdgeCookies(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadEdgeDownloads(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadEdgeTopSites(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadEdgeKeywords(const ReadContext& context, RowSink& rows, ReadProgress& progress);

}  // namespace tmr
