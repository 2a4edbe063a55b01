// The Firefox readers: the queries and row shapes of the five Firefox
// categories, and the readers that run them on the first profile.
#pragma once

#include <string>
#include <string_view>

#include "readers/browsers/BrowserReaders.h"

namespace tmr {

// One row per visit, in the order in which the visit table is scanned by
// "SELECT place_id FROM moz_historyvisits", each with its page's url, title
// and latest visit; visits whose page is missing give none. One joined
// query gives exactly the rows of asking moz_places for every visit in
// turn: CROSS JOIN keeps the visits as the outer loop (the same scan the
// visit query uses), and comparing the key with the place id as text is
// what the per-visit query "where id='<place id>'" does.
inline constexpr char kFirefoxVisitPagesSql[] =
    "SELECT p.url, p.title, p.last_visit_date FROM moz_historyvisits AS v "
    "CROSS JOIN moz_places AS p ON p.id = CAST(v.place_id AS TEXT)";
inline constexpr char kFirefoxVisitsCountSql[] = "SELECT count(*) FROM moz_historyvisits";
inline constexpr char kFirefoxCookiesSql[] = "SELECT host, name,creationtime,lastaccessed FROM moz_cookies";
inline constexpr char kFirefoxCookiesCountSql[] = "select count(*) from moz_cookies";
inline constexpr char kFirefoxDownloadsSql[] = "SELECT name,source,target,startTime,endTime FROM moz_downloads";
// From Firefox 26 a download is a place with annotations: its target as a
// file URI and its metadata as JSON. One row per target, in annotation
// order: target, the place's URL, when the target was noted, the metadata.
inline constexpr char kFirefoxAnnotatedDownloadsSql[] =
    "SELECT target.content, place.url, target.dateAdded, "
    "(SELECT meta.content FROM moz_annos AS meta WHERE meta.place_id = target.place_id AND meta.anno_attribute_id = "
    "(SELECT id FROM moz_anno_attributes WHERE name = 'downloads/metaData') ORDER BY meta.id LIMIT 1) "
    "FROM moz_annos AS target "
    "JOIN moz_anno_attributes AS kind ON kind.id = target.anno_attribute_id "
    "AND kind.name = 'downloads/destinationFileURI' "
    "LEFT JOIN moz_places AS place ON place.id = target.place_id ORDER BY target.id";
inline constexpr char kFirefoxInputHistorySql[] = "SELECT input FROM moz_inputhistory";
inline constexpr char kFirefoxFormHistorySql[] =
    "SELECT fieldname,value,timesused,firstused,lastused FROM moz_formhistory";

// url; title; last visit.
void FirefoxUrlCells(const SqliteRow& row, RowCells& out);
// host; name; creation; last access.
void FirefoxCookieCells(const SqliteRow& row, RowCells& out);
// target without its "file:///"; source; start; end.
void FirefoxDownloadCells(const SqliteRow& row, RowCells& out);
// target as a Windows path; source; start; the end from the metadata.
void FirefoxAnnotatedDownloadCells(const SqliteRow& row, RowCells& out);
// field; value; times used; first and last use.
void FirefoxFormHistoryCells(const SqliteRow& row, RowCells& out);

// The text without its first count characters (UTF-16 units, as the
// program's strings count them); "" when it has no more than that.
std::string_view DropLeadingCharacters(std::string_view text, std::size_t count);

// A reader finds nothing when there is no profile folder.
ReadOutcome ReadFirefoxUrlHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadFirefoxCookies(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadFirefoxDownloads(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadFirefoxInputHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);
ReadOutcome ReadFirefoxFormHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);

}  // namespace tmr
