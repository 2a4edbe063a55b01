// The readers of Internet Explorer's traces: the URL history store, the
// addresses typed into the address bar, the cookie folder and a cache index
// file. None changes what it reads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "readers/RowSink.h"

namespace tmr {

class IndexDatScanner;

// The visited pages of the URL history store that begin with "http": URL,
// title, last visit.
ReadOutcome ReadUrlHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// The TypedURLs values, in the registry's order.
ReadOutcome ReadTypedUrls(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// The cookie folder, and its "Low" folder on Vista and later.
ReadOutcome ReadCookies(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// The URL records of a cache index file: the one the user chooses, or for
// the report the default one.
ReadOutcome ReadIndexFile(const ReadContext& context, RowSink& rows, ReadProgress& progress);

// The cache index file offered first: the "Cache" shell folder +
// "\Content.IE5\index.dat"; "" when the value is missing.
std::string DefaultIndexDatPath(const TraceSource& source = LiveTraceSource());

// The user's cookie folder as the shell names it; "" when it has none.
std::string CookieFolder(const TraceSource& source = LiveTraceSource());

// One cookie folder (with its trailing "\"): each entry's row by the cookie
// rules. False once the read should stop.
bool ScanCookieFolder(RowSink& rows, ReadProgress& progress, const std::string& folder);

// Every row of a cache index file by the scan rule, read in large steps:
// onOpened gets the file's length, onRow each row (false stops), afterStep
// runs after each step (false stops). False when the file cannot be opened.
bool ForEachIndexRow(const std::string& path, const std::function<void(uint64_t length)>& onOpened,
                     const std::function<bool(std::string_view row)>& onRow,
                     const std::function<bool(const IndexDatScanner&)>& afterStep);

}  // namespace tmr
