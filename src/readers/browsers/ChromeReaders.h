// The Chrome readers: queries, row shapes and list fillers of the five
// Chrome categories.
#pragma once

#include <string>

#include "readers/browsers/BrowserReaders.h"

namespace tmr {

inline constexpr char kChromeUrlsSql[] = "SELECT url,title, visit_count,last_visit_time FROM urls where hidden<>1";
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

void ReadChromeURLs(ListTarget& list, const std::string& file, const std::string& sql);
void ReadChromeCookies(ListTarget& list, const std::string& file, const std::string& sql);
void ReadChromeDownloads(ListTarget& list, const std::string& file, const std::string& sql);
void ReadChromeTopSites(ListTarget& list, const std::string& file, const std::string& sql);

}  // namespace tmr
