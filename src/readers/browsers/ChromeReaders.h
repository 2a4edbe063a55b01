// The Chrome readers: the queries and row shapes of the five Chrome
// categories, and the readers that run them on the default profile.
#pragma once

#include "readers/browsers/BrowserReaders.h"

namespace tmr {

inline constexpr char kChromeUrlsSql[] = "SELECT url,title, visit_count,last_visit_time FROM urls where hidden<>1";
// The report lists hidden pages too.
inline constexpr char kReportChromeUrlsSql[] = "SELECT url,title, visit_count,last_visit_time FROM urls";
inline constexpr char kChromeUrlsCountSql[] = "select count(*) from urls";
inline constexpr char kChromeCookiesSql[] = "SELECT host_key,name,creation_utc,last_access_utc FROM cookies";
inline constexpr char kChromeCookiesCountSql[] = "select count(*) from cookies";
inline constexpr char kChromeDownloadsSql[] = "SELECT full_path,url,start_time FROM downloads";
inline constexpr char kChromeTopSitesSql[] = "SELECT url,url_rank,title FROM thumbnails order by url_rank";
inline constexpr char kChromeKeywordsSql[] = "SELECT term FROM keyword_search_terms";

// url; title; visit count; last visit (Chrome time).
void ChromeUrlCells(const SqliteRow& row, RowTexts& out);
// host; name; creation and last access (Chrome time).
void ChromeCookieCells(const SqliteRow& row, RowTexts& out);
// path; source; start (Unix seconds in the old downloads table).
void ChromeDownloadCells(const SqliteRow& row, RowTexts& out);
// url; rank; title.
void ChromeTopSiteCells(const SqliteRow& row, RowTexts& out);

// Chrome holds its History and Cookies files locked while it runs, so the
// URL history and cookie readers end it first; the other files read as
// they are.
ReadOutcome ReadChromeUrlHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadChromeCookies(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadChromeDownloads(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadChromeTopSites(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadChromeKeywords(const ReadContext& context, RowSink& rows, ReadProgress& progress);

}  // namespace tmr
