// The report's readers of the Firefox and Chrome databases (sections 13 to
// 22): the categories' queries and row shapes, each row's texts joined
// into one entry.
#pragma once

#include <functional>

#include "report/ReportLists.h"

namespace tmr {

EntryList getFireFoxURL(const std::function<void()>& doEvents);       // 13
EntryList getFirefoxCookie(const std::function<void()>& doEvents);    // 14
EntryList getFirefoxDownload(const std::function<void()>& doEvents);  // 15
EntryList getFirefoxInput(const std::function<void()>& doEvents);     // 16
EntryList getFirefoxForm(const std::function<void()>& doEvents);      // 17
// Hidden URLs included, unlike the category; Chrome is ended first.
EntryList getChromeURL(const std::function<void()>& doEvents);        // 18
EntryList getChromeCookies(const std::function<void()>& doEvents);    // 19
EntryList getChromeDownloads(const std::function<void()>& doEvents);  // 20
EntryList getChromeTopSites(const std::function<void()>& doEvents);   // 21
EntryList getChromeKeyword(const std::function<void()>& doEvents);    // 22

inline constexpr char kReportChromeUrlsSql[] = "SELECT url,title, visit_count,last_visit_time FROM urls";

}  // namespace tmr
