// The Chrome readers: queries, row shapes and list fillers of the five
// Chrome categories.
#pragma once

#include <string>

#include "browsers/BrowserReaders.h"

namespace tmr {

inline constexpr char kChromeUrlsSql[] = "SELECT url,title, visit_count,last_visit_time FROM urls where hidden<>1";
inline constexpr char kChromeUrlsCountSql[] = "select count(*) from urls";
inline constexpr char kChromeCookiesSql[] = "SELECT host_key,name,creation_utc,last_access_utc FROM cookies";
inline constexpr char kChromeCookiesCountSql[] = "select count(*) from cookies";
inline constexpr char kChromeDownloadsSql[] = "SELECT full_path,url,start_time FROM downloads";
inline constexpr char kChromeTopSitesSql[] = "SELECT url,url_rank,title FROM thumbnails order by url_rank";
inline constexpr char kChromeKeywordsSql[] = "SELECT term FROM keyword_search_terms";

// url; title; visit count; last visit (Chrome time).
Cells ChromeUrlCells(const SqliteRow& row);
// host; name; creation and last access (Chrome time).
Cells ChromeCookieCells(const SqliteRow& row);
// path; source; start (Unix seconds in the old downloads table).
Cells ChromeDownloadCells(const SqliteRow& row);
// url; rank; title.
Cells ChromeTopSiteCells(const SqliteRow& row);

void ReadChromeURLs(ListTarget& list, const std::string& file, const std::string& sql);
void ReadChromeCookies(ListTarget& list, const std::string& file, const std::string& sql);
void ReadChromeDownloads(ListTarget& list, const std::string& file, const std::string& sql);
void ReadChromeTopSites(ListTarget& list, const std::string& file, const std::string& sql);

}  // namespace tmr
