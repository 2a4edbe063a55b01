// The source routines of the Firefox (c1..c5) and Chrome (d1..d5)
// categories: status texts, columns, the reader, the record count.
#pragma once

#include "readers/ListTarget.h"

namespace tmr {

void ShowFirefoxURLHistory(ListTarget& list);
void ShowFirefoxCookies(ListTarget& list);
void ShowFirefoxDownloads(ListTarget& list);
void ShowFirefoxInputHistory(ListTarget& list);
void ShowFirefoxFormHistory(ListTarget& list);

void ShowChromeURLHistory(ListTarget& list);
void ShowChromeCookies(ListTarget& list);
void ShowChromeDownloads(ListTarget& list);
void ShowChromeTopSites(ListTarget& list);
void ShowChromeKeywords(ListTarget& list);

}  // namespace tmr
