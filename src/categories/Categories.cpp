// The rows of the category table. Texts are the program's own, odd
// spellings included: users and their reports know them so.
#include "categories/CategoryTable.h"
#include "categories/Timeline.h"
#include "readers/browsers/ActivityReaders.h"
#include "readers/browsers/ChromeReaders.h"
#include "readers/browsers/FirefoxReaders.h"
#include "readers/ie/IeReaders.h"
#include "readers/windows/TodayReaders.h"
#include "readers/windows/WindowsReaders.h"

namespace tmr {
namespace {

// ---- columns of the list ----

constexpr ColumnInfo kIeUrlColumns[] = {
    {"URL", 5000}, {"Title", 5000}, {"Last Visited", 2000, CellKind::kTime, "Visited"}};
constexpr ColumnInfo kTypedUrlColumns[] = {{"URLs", 4000}};
constexpr ColumnInfo kIeCookieColumns[] = {{"Cookies", 6000}};
constexpr ColumnInfo kIndexFileColumns[] = {{"URLs In Index.dat File", 8000}};
constexpr ColumnInfo kRecentColumns[] = {{"Recent Documents", 8000}};
constexpr ColumnInfo kSearchColumns[] = {{"Start Menu Search History", 8000}};
constexpr ColumnInfo kRunColumns[] = {{"Start Menu Run History", 8000}};
constexpr ColumnInfo kOpenSaveColumns[] = {{"Open/Save History", 6000}};
constexpr ColumnInfo kLastVisitedColumns[] = {{"Last Visited History", 8000}};
constexpr ColumnInfo kUsbColumns[] = {{"USB Storage History", 8000}};
constexpr ColumnInfo kFirstFolderColumns[] = {{"First Folder (Windows 7)", 8000}};
constexpr ColumnInfo kTypedPathColumns[] = {{"Type Paths (Windows 7)", 8000}};
constexpr ColumnInfo kFirefoxUrlColumns[] = {
    {"URLs History", 8000}, {"Title", 8000}, {"Last Visted Time", 2000, CellKind::kTime, "Visited"}};
constexpr ColumnInfo kFirefoxCookieColumns[] = {{"Host", 2000},
                                                {"Name", 4000},
                                                {"Creation Time", 2000, CellKind::kTime, "Cookie created"},
                                                {"Last Accessd Time", 2000, CellKind::kTime, "Cookie last accessed"}};
constexpr ColumnInfo kFirefoxDownloadColumns[] = {{"File Name", 6000},
                                                  {"Source", 4000},
                                                  {"Start Time", 2000, CellKind::kTime, "Download started"},
                                                  {"End Time", 2000, CellKind::kTime, "Download ended"}};
constexpr ColumnInfo kFirefoxInputColumns[] = {{"Firefox Input History", 6000}};
constexpr ColumnInfo kFirefoxFormColumns[] = {{"Field Name", 1500},
                                              {"Value ", 4000},
                                              {"Times Used", 1500, CellKind::kNumber},
                                              {"First Used", 2000, CellKind::kTime, "Form field first used"},
                                              {"Last Used", 2000, CellKind::kTime, "Form field last used"}};
constexpr ColumnInfo kChromeUrlColumns[] = {{"URL History", 6000},
                                            {"Title", 6000},
                                            {"Visit Count", 1000, CellKind::kNumber},
                                            {"Last Visited Time", 2000, CellKind::kTime, "Visited"}};
constexpr ColumnInfo kChromeCookieColumns[] = {{"Host", 2000},
                                               {"name", 2000},
                                               {"Creation Time", 2000, CellKind::kTime, "Cookie created"},
                                               {"Last Accessed Time", 2000, CellKind::kTime, "Cookie last accessed"}};
constexpr ColumnInfo kChromeDownloadColumns[] = {
    {"File Name", 6000}, {"Source", 8000}, {"Download Time", 1500, CellKind::kTime, "Downloaded"}};
constexpr ColumnInfo kChromeTopSiteColumns[] = {{"URL", 6000}, {"Rank", 1000, CellKind::kNumber}, {"title", 6000}};
constexpr ColumnInfo kChromeKeywordColumns[] = {{"Keyword Searched", 6000}};
constexpr ColumnInfo kTimelineColumns[] = {
    {"Time", 2200, CellKind::kTime}, {"Event", 1800}, {"Category", 2600}, {"Item", 6000}, {"Details", 6000}};
// The path comes first where a double-click opens it.
constexpr ColumnInfo kJumpListColumns[] = {{"Target", 5000},
                                           {"Application", 2500},
                                           {"Last Opened", 2000, CellKind::kTime, "Opened"},
                                           {"Pinned", 800},
                                           {"Target Created", 2000, CellKind::kTime, "Target created"},
                                           {"Target Modified", 2000, CellKind::kTime, "Target modified"},
                                           {"Target Accessed", 2000, CellKind::kTime, "Target accessed"},
                                           {"Size", 1200, CellKind::kNumber}};
constexpr ColumnInfo kProgramsRunColumns[] = {{"Program", 6000},
                                              {"Run Count", 1100, CellKind::kNumber},
                                              {"Focus Time (ms)", 1500, CellKind::kNumber},
                                              {"Last Run", 2000, CellKind::kTime, "Last run"}};
constexpr ColumnInfo kFoldersOpenedColumns[] = {{"Folder", 8000},
                                                {"Key Written", 2000, CellKind::kTime, "Folder key written"}};
constexpr ColumnInfo kRecycleBinColumns[] = {{"Original Path", 6000},
                                             {"Size", 1200, CellKind::kNumber},
                                             {"Deleted", 2000, CellKind::kTime, "Deleted"},
                                             {"Still There", 1100}};
constexpr ColumnInfo kPowerShellColumns[] = {{"Command", 8000}, {"Order", 800, CellKind::kNumber}};
constexpr ColumnInfo kRemoteDesktopColumns[] = {
    {"Host", 3000}, {"User Name Hint", 3000}, {"Key Written", 2000, CellKind::kTime, "Key written"}};
constexpr ColumnInfo kOfficeColumns[] = {
    {"Document", 6000}, {"Application", 1500}, {"Last Opened", 2000, CellKind::kTime, "Opened"}};
constexpr ColumnInfo kWindowsTimelineColumns[] = {{"Application", 4000},
                                           {"What", 6000},
                                           {"Start", 2000, CellKind::kTime, "Activity started"},
                                           {"End", 2000, CellKind::kTime, "Activity ended"}};
constexpr ColumnInfo kStartupColumns[] = {
    {"Name", 2500}, {"Command", 6000}, {"Key", 5000}, {"Key Written", 2000, CellKind::kTime, "Key written"}};

// ---- the report's column headers ----

constexpr std::string_view kSingleHeader[] = {R"(<tr><td class="style10"><strong><span class="style11">)"};
constexpr std::string_view kIeUrlHeader[] = {
    R"(<tr><td style="width: 420px" class="style10"><strong><span class="style11">)", R"(Title</span></strong></td>)",
    R"(<td style="width: 471px" class="style10"><strong>URL</strong></td>)",
    R"(<td style="width: 171px" class="style10"><strong>Last Visited</strong></td>)"};
constexpr std::string_view kFirefoxUrlHeader[] = {
    R"(<tr><td style="width: 500px" class="style10"><strong><span class="style11">)", R"(URL</span></strong></td>)",
    R"(<td style="width: 500px" class="style10"><strong>Title</strong></td>)",
    R"(<td style="width: 171px" class="style10"><strong>Last Visited</strong></td>)"};
constexpr std::string_view kFirefoxCookieHeader[] = {
    R"(<tr><td style="width: 300px" class="style10"><strong>Host</strong></td>)",
    R"(<td style="width: 300px" class="style10"><strong>Name</strong></td>)",
    R"(<td style="width: 200px" class="style10"><strong>Creation Time</strong></td>)",
    R"(<td style="width: 200px" class="style10"><strong>Last Accessed Time</strong></td>)"};
constexpr std::string_view kFirefoxDownloadHeader[] = {
    R"(<tr><td style="width: 300px" class="style10"><strong>File Name</strong></td>)",
    R"(<td style="width: 400px" class="style10"><strong>Source</strong></td>)",
    R"(<td style="width: 200px" class="style10"><strong>Start Time</strong></td>)",
    R"(<td style="width: 200px" class="style10"><strong>End Time</strong></td>)"};
constexpr std::string_view kFirefoxFormHeader[] = {
    R"(<tr><td style="width: 200px" class="style10"><strong>Field Name</strong></td>)",
    R"(<td style="width: 200px" class="style10"><strong>Value</strong></td>)",
    R"(<td style="width: 200px" class="style10"><strong>Times Used</strong></td>)",
    R"(<td style="width: 200px" class="style10"><strong>First Used</strong></td>)",
    R"(<td style="width: 200px" class="style10"><strong>Last Used</strong></td>)"};
constexpr std::string_view kChromeUrlHeader[] = {
    R"(<tr><td style="width: 500px" class="style10"><strong>URL</strong></td>)",
    R"(<td style="width: 400px" class="style10"><strong>Title</strong></td>)",
    R"(<td style="width: 51px" class="style10"><strong>Visit Count</strong></td>)",
    R"(<td style="width: 150px" class="style10"><strong>Last Visited</strong></td>)"};
constexpr std::string_view kChromeCookieHeader[] = {
    R"(<tr><td style="width: 200px" class="style10"><strong>Host</strong></td>)",
    R"(<td style="width: 200px" class="style10"><strong>Name</strong></td>)",
    R"(<td style="width: 100px" class="style10"><strong>Creation Time</strong></td>)",
    R"(<td style="width: 100px" class="style10"><strong>Last Accessed</strong></td>)"};
constexpr std::string_view kChromeDownloadHeader[] = {
    R"(<tr><td style="width: 400px" class="style10"><strong>File Name</strong></td>)",
    R"(<td style="width: 400px" class="style10"><strong>Source</strong></td>)",
    R"(<td style="width: 100px" class="style10"><strong>Time</strong></td>)"};
constexpr std::string_view kChromeTopSiteHeader[] = {
    R"(<tr><td style="width: 400px" class="style10"><strong>URL</strong></td>)",
    R"(<td style="width: 50px" class="style10"><strong>Rank</strong></td>)",
    R"(<td style="width: 400px" class="style10"><strong>Title</strong></td>)"};

// The sections of today's Windows: one header cell per column, closed.
constexpr std::string_view kJumpListHeader[] = {
    R"(<tr><td style="width: 300px" class="style10"><strong>Target</strong></td>)",
    R"(<td style="width: 150px" class="style10"><strong>Application</strong></td>)",
    R"(<td style="width: 120px" class="style10"><strong>Last Opened</strong></td>)",
    R"(<td style="width: 50px" class="style10"><strong>Pinned</strong></td>)",
    R"(<td style="width: 120px" class="style10"><strong>Target Created</strong></td>)",
    R"(<td style="width: 120px" class="style10"><strong>Target Modified</strong></td>)",
    R"(<td style="width: 120px" class="style10"><strong>Target Accessed</strong></td>)",
    R"(<td style="width: 60px" class="style10"><strong>Size</strong></td></tr>)"};
constexpr std::string_view kProgramsRunHeader[] = {
    R"(<tr><td style="width: 400px" class="style10"><strong>Program</strong></td>)",
    R"(<td style="width: 60px" class="style10"><strong>Run Count</strong></td>)",
    R"(<td style="width: 80px" class="style10"><strong>Focus Time (ms)</strong></td>)",
    R"(<td style="width: 150px" class="style10"><strong>Last Run</strong></td></tr>)"};
constexpr std::string_view kFoldersOpenedHeader[] = {
    R"(<tr><td style="width: 600px" class="style10"><strong>Folder</strong></td>)",
    R"(<td style="width: 150px" class="style10"><strong>Key Written</strong></td></tr>)"};
constexpr std::string_view kRecycleBinHeader[] = {
    R"(<tr><td style="width: 450px" class="style10"><strong>Original Path</strong></td>)",
    R"(<td style="width: 80px" class="style10"><strong>Size</strong></td>)",
    R"(<td style="width: 150px" class="style10"><strong>Deleted</strong></td>)",
    R"(<td style="width: 60px" class="style10"><strong>Still There</strong></td></tr>)"};
constexpr std::string_view kPowerShellHeader[] = {
    R"(<tr><td style="width: 600px" class="style10"><strong>Command</strong></td>)",
    R"(<td style="width: 50px" class="style10"><strong>Order</strong></td></tr>)"};
constexpr std::string_view kRemoteDesktopHeader[] = {
    R"(<tr><td style="width: 250px" class="style10"><strong>Host</strong></td>)",
    R"(<td style="width: 250px" class="style10"><strong>User Name Hint</strong></td>)",
    R"(<td style="width: 150px" class="style10"><strong>Key Written</strong></td></tr>)"};
constexpr std::string_view kOfficeHeader[] = {
    R"(<tr><td style="width: 450px" class="style10"><strong>Document</strong></td>)",
    R"(<td style="width: 100px" class="style10"><strong>Application</strong></td>)",
    R"(<td style="width: 150px" class="style10"><strong>Last Opened</strong></td></tr>)"};
constexpr std::string_view kWindowsTimelineHeader[] = {
    R"(<tr><td style="width: 300px" class="style10"><strong>Application</strong></td>)",
    R"(<td style="width: 400px" class="style10"><strong>What</strong></td>)",
    R"(<td style="width: 150px" class="style10"><strong>Start</strong></td>)",
    R"(<td style="width: 150px" class="style10"><strong>End</strong></td></tr>)"};
constexpr std::string_view kStartupHeader[] = {
    R"(<tr><td style="width: 150px" class="style10"><strong>Name</strong></td>)",
    R"(<td style="width: 400px" class="style10"><strong>Command</strong></td>)",
    R"(<td style="width: 300px" class="style10"><strong>Key</strong></td>)",
    R"(<td style="width: 150px" class="style10"><strong>Key Written</strong></td></tr>)"};

// ---- the report's cells ----

constexpr std::string_view kIe420[] = {R"(<tr><td style="width: 420px" class="style7">)",
                                       R"(<tr><td style="width: 420px" class="style5">)"};
constexpr std::string_view kIe471[] = {R"(<td style="width: 471px" class="style7">)",
                                       R"(<td style="width: 471px" class="style5">)"};
// The title first, though the list shows the URL first.
constexpr ReportCellInfo kIeUrlCells[] = {{1, Cut::kLeft80, kIe420[0], kIe420[1]},
                                          {0, Cut::kLeft80, kIe471[0], kIe471[1]},
                                          {2, Cut::kWhole, kIe471[0], kIe471[1]}};

constexpr ReportCellInfo kFirefoxUrlCells[] = {
    {0, Cut::kLeft80, R"(<tr><td class="style7">)", R"(<tr><td  class="style5">)"},
    {1, Cut::kLeft80, R"(<td  class="style7">)", R"(<td  class="style5">)"},
    {2, Cut::kWhole, R"(<td  class="style7">)", R"(<td  class="style5">)"}};

constexpr std::string_view kWide300[] = {R"(<td style="width: 300px" class="style7">)",
                                         R"(<td style="width: 300px" class="style5">)"};
constexpr std::string_view kWide200[] = {R"(<td style="width: 200px" class="style7">)",
                                         R"(<td style="width: 200px" class="style5">)"};
// Firefox cookies and downloads.
constexpr ReportCellInfo kFirefoxFourCells[] = {{0, Cut::kLeft80, R"(<tr><td style="width: 300px" class="style7">)",
                                                 R"(<tr><td style="width: 300px" class="style5">)"},
                                                {1, Cut::kLeft50, kWide300[0], kWide300[1]},
                                                {2, Cut::kTrim, kWide200[0], kWide200[1]},
                                                {3, Cut::kTrim, kWide200[0], kWide200[1]}};

constexpr ReportCellInfo kFirefoxFormCells[] = {
    {0, Cut::kWhole, R"(<tr><td class="style7">)", R"(<tr><td class="style5">)"},
    {1, Cut::kWhole, R"(<td class="style7">)", R"(<td  class="style5">)"},
    {2, Cut::kTrim, R"(<td class="style7">)", R"(<td  class="style5">)"},
    {3, Cut::kTrim, R"(<td class="style7">)", R"(<td  class="style5">)"},
    {4, Cut::kTrim, R"(<td class="style7">)", R"(<td  class="style5">)"}};

constexpr std::string_view kChromeFirst[] = {R"(<tr><td  class="style7">)", R"(<tr><td  class="style5">)"};
constexpr std::string_view kChromeOther[] = {R"(<td  class="style7">)", R"(<td  class="style5">)"};
constexpr ReportCellInfo kChromeUrlCells[] = {{0, Cut::kLeft80, kChromeFirst[0], kChromeFirst[1]},
                                              {1, Cut::kLeft80, kChromeOther[0], kChromeOther[1]},
                                              {2, Cut::kWhole, kChromeOther[0], kChromeOther[1]},
                                              {3, Cut::kWhole, kChromeOther[0], kChromeOther[1]}};
constexpr ReportCellInfo kChromeFourCells[] = {{0, Cut::kWhole, kChromeFirst[0], kChromeFirst[1]},
                                               {1, Cut::kWhole, kChromeOther[0], kChromeOther[1]},
                                               {2, Cut::kWhole, kChromeOther[0], kChromeOther[1]},
                                               {3, Cut::kWhole, kChromeOther[0], kChromeOther[1]}};
constexpr ReportCellInfo kChromeThreeCells[] = {{0, Cut::kWhole, kChromeFirst[0], kChromeFirst[1]},
                                                {1, Cut::kWhole, kChromeOther[0], kChromeOther[1]},
                                                {2, Cut::kWhole, kChromeOther[0], kChromeOther[1]}};
constexpr ReportCellInfo kChromeOneCell[] = {{0, Cut::kWhole, kChromeFirst[0], kChromeFirst[1]}};
constexpr ReportCellInfo kTimelineCells[] = {{0, Cut::kWhole, kChromeFirst[0], kChromeFirst[1]},
                                             {1, Cut::kWhole, kChromeOther[0], kChromeOther[1]},
                                             {2, Cut::kWhole, kChromeOther[0], kChromeOther[1]},
                                             {3, Cut::kLeft80, kChromeOther[0], kChromeOther[1]},
                                             {4, Cut::kLeft80, kChromeOther[0], kChromeOther[1]}};
constexpr std::string_view kTimelineHeader[] = {
    R"(<tr><td style="width: 150px" class="style10"><strong>Time</strong></td>)",
    R"(<td style="width: 120px" class="style10"><strong>Event</strong></td>)",
    R"(<td style="width: 170px" class="style10"><strong>Category</strong></td>)",
    R"(<td style="width: 400px" class="style10"><strong>Item</strong></td>)",
    R"(<td style="width: 300px" class="style10"><strong>Details</strong></td>)"};

ReadOutcome ReadTimelineOfEveryCategory(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  return ReadTimeline(Categories(), context, rows, progress);
}

// Today's Windows: every cell whole, in the list's order.
constexpr std::string_view kTodayFirst[] = {R"(<tr><td class="style7">)", R"(<tr><td class="style5">)"};
constexpr std::string_view kTodayOther[] = {R"(<td class="style7">)", R"(<td class="style5">)"};
constexpr ReportCellInfo kTodayCells[] = {
    {0, Cut::kWhole, kTodayFirst[0], kTodayFirst[1]}, {1, Cut::kWhole, kTodayOther[0], kTodayOther[1]},
    {2, Cut::kWhole, kTodayOther[0], kTodayOther[1]}, {3, Cut::kWhole, kTodayOther[0], kTodayOther[1]},
    {4, Cut::kWhole, kTodayOther[0], kTodayOther[1]}, {5, Cut::kWhole, kTodayOther[0], kTodayOther[1]},
    {6, Cut::kWhole, kTodayOther[0], kTodayOther[1]}, {7, Cut::kWhole, kTodayOther[0], kTodayOther[1]}};

// A section of today's Windows: its anchor, heading and link follow from its
// name; as many cells as the category has columns.
constexpr ReportSectionInfo TodaySection(std::string_view status, std::string_view anchor, std::string_view heading,
                                         std::string_view link, std::span<const std::string_view> header,
                                         std::size_t columns) {
  const std::span<const ReportCellInfo> cells = std::span(kTodayCells).first(columns);
  return {ReportGroup::kWindowsToday, status, anchor, heading, link, header, ReportRows::kCellsOwnAlternation, cells};
}

// A section of one column per row.
constexpr ReportSectionInfo SingleCellSection(ReportGroup group, std::string_view status, std::string_view anchor,
                                              std::string_view heading, std::string_view link) {
  return {group, status, anchor, heading, link, kSingleHeader, ReportRows::kSingleCell, {}};
}

constexpr std::string_view kDoubleClickToView = "Double Click to view";

// clang-format off
constexpr CategoryInfo kCategories[] = {
    {Category::kIeUrlHistory, "a1", TreeGroup::kInternetExplorer, "URL History", kIeUrlColumns,
     "Double Cilck to view", false, true, ReadUrlHistory, RowAction::kOpenFirstColumn,
     {ReportGroup::kInternetExplorer, "Creating Internet Explorer URL history report...",
      "Internet_Explorer-URL_History", "Internet Explorer--URL History</a></td></tr>", "URL History", kIeUrlHeader,
      ReportRows::kCellsOwnAlternation, kIeUrlCells},
     true},
    {Category::kIeTypedUrls, "a2", TreeGroup::kInternetExplorer, "Address Bar", kTypedUrlColumns,
     "Double Cilck to view", false, false, ReadTypedUrls, RowAction::kOpenFirstColumn,
     SingleCellSection(ReportGroup::kInternetExplorer, "Creating Internet Explorer Address Bar report...",
                       "Internet_Explorer-Address Bar", "Internet Explorer-Address Bar History</a></td></tr>",
                       "Address Bar")},
    {Category::kIeCookies, "a3", TreeGroup::kInternetExplorer, "Cookies", kIeCookieColumns,
     "Double click to view cookie folder", false, true, ReadCookies, RowAction::kOpenCookieFolder,
     SingleCellSection(ReportGroup::kInternetExplorer, "Creating Internet Explorer Cookie report...",
                       "Internet_Explorer-Cookies", "Internet Explorer-Cookies</a></td></tr>", "Cookies")},
    {Category::kIeIndexFile, "a4", TreeGroup::kInternetExplorer, "Index.dat File", kIndexFileColumns,
     "Double click to view", false, true, ReadIndexFile, RowAction::kOpenFirstColumn,
     SingleCellSection(ReportGroup::kIndexFile,
                       "Creating Index.dat report...this may take 2-3 minute if the file is large",
                       "Internet_Explorer-Index.dat File", "Internet Explorer-Index.dat </a></td></tr>",
                       "Index.dat File")},

    {Category::kRecentDocuments, "b1", TreeGroup::kWindows, "Recent Document", kRecentColumns,
     "Double Click to open", false, true, ReadRecentDocuments, RowAction::kOpenFirstColumn,
     SingleCellSection(ReportGroup::kWindows, "Creating Windows recent documents report...",
                       "Windows-Recent Documents", "Windows-Recent Documents</a></td></tr>", "Recent Documents")},
    {Category::kSearchHistory, "b2", TreeGroup::kWindows, "Search History", kSearchColumns,
     "", false, false, ReadSearchHistory, RowAction::kNothing,
     SingleCellSection(ReportGroup::kWindows, "Creating Windows Search History report...", "Windows-Search History",
                       "Windows-Search History</a></td></tr>", "Search History")},
    {Category::kRunHistory, "b3", TreeGroup::kWindows, "Run History", kRunColumns,
     "Double Cilck to run", false, false, ReadRunHistory, RowAction::kNothing,
     SingleCellSection(ReportGroup::kWindows, "Creating Windows Run History report...", "Windows-Run History",
                       "Windows-Run History</a></td></tr>", "Run History")},
    {Category::kOpenSaveHistory, "b4", TreeGroup::kWindows, "Open/Save History", kOpenSaveColumns,
     "", false, false, ReadOpenSaveHistory, RowAction::kNothing,
     SingleCellSection(ReportGroup::kWindows, "Creating Windows Open/Save History report...",
                       "Windows-Open/Save History", "Windows-Open/Save History</a></td></tr>", "Open/Save History")},
    {Category::kLastVisited, "b5", TreeGroup::kWindows, "List Visited History", kLastVisitedColumns,
     "", false, false, ReadLastVisited, RowAction::kNothing,
     SingleCellSection(ReportGroup::kWindows, "Creating Windows List Visited History report...",
                       "Windows-List Visited History", "Windows-List Visited History</a></td></tr>",
                       "List Visted History")},
    {Category::kUsbStorage, "b6", TreeGroup::kWindows, "USB Storage History", kUsbColumns,
     "", false, false, ReadUsbStorage, RowAction::kNothing,
     SingleCellSection(ReportGroup::kWindows, "Creating Windows USB Storage History report...",
                       "Windows-USB Storage History", "Windows-USB Storage History</a></td></tr>",
                       "USB Storage History")},
    {Category::kFirstFolders, "b7", TreeGroup::kWindows, "First Folder (Win7)", kFirstFolderColumns,
     "", false, false, ReadFirstFolders, RowAction::kNothing,
     SingleCellSection(ReportGroup::kWindows, "Creating Windows First Folder report...", "Windows-First Folder",
                       "Windows-First Folder</a></td></tr>", "First Folder")},
    {Category::kTypedPaths, "b8", TreeGroup::kWindows, "Typed Paths (Win7)", kTypedPathColumns,
     "", false, false, ReadTypedPaths, RowAction::kNothing,
     SingleCellSection(ReportGroup::kWindows, "Creating Windows Typed Paths report...", "Windows-Typed Paths",
                       "Windows-Typed Paths</a></td></tr>", "Typed Paths")},

    {Category::kFirefoxUrlHistory, "c1", TreeGroup::kFirefox, "URL History", kFirefoxUrlColumns,
     kDoubleClickToView, true, true, ReadFirefoxUrlHistory, RowAction::kOpenFirstColumn,
     {ReportGroup::kFirefox, "Creating Firefox URL history report...", "Firefox-URL History",
      "Firefox-URL History</a></td></tr>", "URL History", kFirefoxUrlHeader, ReportRows::kCells, kFirefoxUrlCells},
     true},
    {Category::kFirefoxCookies, "c2", TreeGroup::kFirefox, "Cookies", kFirefoxCookieColumns,
     "", true, true, ReadFirefoxCookies, RowAction::kNothing,
     {ReportGroup::kFirefox, "Creating Firefox Cookies report...", "Firefox-Cookies", "Firefox-Cookies</a></td></tr>",
      "Cookies", kFirefoxCookieHeader, ReportRows::kCells, kFirefoxFourCells},
     true},
    {Category::kFirefoxDownloads, "c3", TreeGroup::kFirefox, "Downloads", kFirefoxDownloadColumns,
     kDoubleClickToView, false, true, ReadFirefoxDownloads, RowAction::kOpenFirstColumn,
     {ReportGroup::kFirefox, "Creating Firefox downloads report...", "Firefox-Downloads",
      "Firefox-Downloads</a></td></tr>", "Downloads", kFirefoxDownloadHeader, ReportRows::kCells, kFirefoxFourCells},
     true},
    {Category::kFirefoxInputHistory, "c4", TreeGroup::kFirefox, "Input History", kFirefoxInputColumns,
     "", false, true, ReadFirefoxInputHistory, RowAction::kNothing,
     SingleCellSection(ReportGroup::kFirefox, "Creating Firefox Input History report...", "Firefox-Input History",
                       "Firefox-Input History</a></td></tr>", "Input History")},
    {Category::kFirefoxFormHistory, "c5", TreeGroup::kFirefox, "Form History", kFirefoxFormColumns,
     "", false, true, ReadFirefoxFormHistory, RowAction::kNothing,
     {ReportGroup::kFirefox, "Creating Firefox Form History report...", "Firefox-Form History",
      "Firefox-Form History</a></td></tr>", "Form History", kFirefoxFormHeader, ReportRows::kCells,
      kFirefoxFormCells},
     true},

    {Category::kChromeUrlHistory, "d1", TreeGroup::kChrome, "URL History", kChromeUrlColumns,
     kDoubleClickToView, true, true, ReadChromeUrlHistory, RowAction::kOpenFirstColumn,
     {ReportGroup::kChrome, "Creating Chrome URL history report...", "Chrome-URL History",
      "Chrome-URL History</a></td></tr>", "URL History", kChromeUrlHeader, ReportRows::kCells, kChromeUrlCells},
     true},
    {Category::kChromeCookies, "d2", TreeGroup::kChrome, "Cookies", kChromeCookieColumns,
     "", true, true, ReadChromeCookies, RowAction::kNothing,
     {ReportGroup::kChrome, "Creating Chrome Cookies report...", "Chrome-Cookies", "Chrome-Cookies</a></td></tr>",
      "Cookies", kChromeCookieHeader, ReportRows::kCells, kChromeFourCells},
     true},
    {Category::kChromeDownloads, "d3", TreeGroup::kChrome, "Downloads", kChromeDownloadColumns,
     kDoubleClickToView, false, true, ReadChromeDownloads, RowAction::kOpenFirstColumn,
     {ReportGroup::kChrome, "Creating Chrome Downloads report...", "Chrome-Downloads",
      "Chrome-Downloads</a></td></tr>", "Downloads", kChromeDownloadHeader, ReportRows::kCells, kChromeThreeCells},
     true},
    {Category::kChromeTopSites, "d4", TreeGroup::kChrome, "Top Visted Sites", kChromeTopSiteColumns,
     kDoubleClickToView, false, true, ReadChromeTopSites, RowAction::kNothing,
     {ReportGroup::kChrome, "Creating Chrome Top Visited Sites report...", "Chrome-Top Visited Sites",
      "Chrome-Top Visited Sites</a></td></tr>", "Top Visited Sites", kChromeTopSiteHeader, ReportRows::kCells,
      kChromeThreeCells}},
    {Category::kChromeKeywords, "d5", TreeGroup::kChrome, "Keyword Searched", kChromeKeywordColumns,
     "", false, true, ReadChromeKeywords, RowAction::kNothing,
     {ReportGroup::kChrome, "Creating Chrome keyword Searched report...", "Chrome-Keyword Searched",
      "Chrome-keyword Searched</a></td></tr>", "Keyword Searched", {}, ReportRows::kCells, kChromeOneCell}},

    // Edge keeps Chrome's files: its categories are Chrome's on Edge's folder.
    {Category::kEdgeUrlHistory, "e1", TreeGroup::kEdge, "URL History", kChromeUrlColumns,
     kDoubleClickToView, true, true, ReadEdgeUrlHistory, RowAction::kOpenFirstColumn,
     {ReportGroup::kEdge, "Creating Edge URL history report...", "Edge-URL History",
      "Edge-URL History</a></td></tr>", "URL History", kChromeUrlHeader, ReportRows::kCells, kChromeUrlCells},
     true},
    {Category::kEdgeCookies, "e2", TreeGroup::kEdge, "Cookies", kChromeCookieColumns,
     "", true, true, ReadEdgeCookies, RowAction::kNothing,
     {ReportGroup::kEdge, "Creating Edge Cookies report...", "Edge-Cookies", "Edge-Cookies</a></td></tr>",
      "Cookies", kChromeCookieHeader, ReportRows::kCells, kChromeFourCells},
     true},
    {Category::kEdgeDownloads, "e3", TreeGroup::kEdge, "Downloads", kChromeDownloadColumns,
     kDoubleClickToView, false, true, ReadEdgeDownloads, RowAction::kOpenFirstColumn,
     {ReportGroup::kEdge, "Creating Edge Downloads report...", "Edge-Downloads",
      "Edge-Downloads</a></td></tr>", "Downloads", kChromeDownloadHeader, ReportRows::kCells, kChromeThreeCells},
     true},
    {Category::kEdgeTopSites, "e4", TreeGroup::kEdge, "Top Visited Sites", kChromeTopSiteColumns,
     kDoubleClickToView, false, true, ReadEdgeTopSites, RowAction::kNothing,
     {ReportGroup::kEdge, "Creating Edge Top Visited Sites report...", "Edge-Top Visited Sites",
      "Edge-Top Visited Sites</a></td></tr>", "Top Visited Sites", kChromeTopSiteHeader, ReportRows::kCells,
      kChromeThreeCells}},
    {Category::kEdgeKeywords, "e5", TreeGroup::kEdge, "Keyword Searched", kChromeKeywordColumns,
     "", false, true, ReadEdgeKeywords, RowAction::kNothing,
     {ReportGroup::kEdge, "Creating Edge Keyword Searched report...", "Edge-Keyword Searched",
      "Edge-Keyword Searched</a></td></tr>", "Keyword Searched", {}, ReportRows::kCells, kChromeOneCell}},

    {Category::kJumpLists, "b9", TreeGroup::kWindows, "Jump Lists", kJumpListColumns,
     "Double Click to open", true, true, ReadJumpLists, RowAction::kOpenFirstColumn,
     TodaySection("Creating Windows Jump Lists report...", "Windows-Jump Lists", "Windows-Jump Lists</a></td></tr>",
                  "Jump Lists", kJumpListHeader, std::size(kJumpListColumns)),
     true},
    {Category::kProgramsRun, "b10", TreeGroup::kWindows, "Programs Run", kProgramsRunColumns,
     "", false, false, ReadProgramsRun, RowAction::kNothing,
     TodaySection("Creating Windows Programs Run report...", "Windows-Programs Run",
                  "Windows-Programs Run</a></td></tr>", "Programs Run", kProgramsRunHeader,
                  std::size(kProgramsRunColumns)),
     true},
    {Category::kFoldersOpened, "b11", TreeGroup::kWindows, "Folders Opened", kFoldersOpenedColumns,
     "", false, true, ReadFoldersOpened, RowAction::kNothing,
     TodaySection("Creating Windows Folders Opened report...", "Windows-Folders Opened",
                  "Windows-Folders Opened</a></td></tr>", "Folders Opened", kFoldersOpenedHeader,
                  std::size(kFoldersOpenedColumns)),
     true},
    {Category::kRecycleBin, "b12", TreeGroup::kWindows, "Recycle Bin", kRecycleBinColumns,
     "Double Click to open", false, false, ReadRecycleBin, RowAction::kOpenFirstColumn,
     TodaySection("Creating Windows Recycle Bin report...", "Windows-Recycle Bin", "Windows-Recycle Bin</a></td></tr>",
                  "Recycle Bin", kRecycleBinHeader, std::size(kRecycleBinColumns)),
     true},
    {Category::kPowerShellHistory, "b13", TreeGroup::kWindows, "PowerShell History", kPowerShellColumns,
     "", false, false, ReadPowerShellHistory, RowAction::kNothing,
     TodaySection("Creating Windows PowerShell History report...", "Windows-PowerShell History",
                  "Windows-PowerShell History</a></td></tr>", "PowerShell History", kPowerShellHeader,
                  std::size(kPowerShellColumns))},
    {Category::kRemoteDesktop, "b14", TreeGroup::kWindows, "Remote Desktop", kRemoteDesktopColumns,
     "", false, false, ReadRemoteDesktop, RowAction::kNothing,
     TodaySection("Creating Windows Remote Desktop report...", "Windows-Remote Desktop",
                  "Windows-Remote Desktop</a></td></tr>", "Remote Desktop", kRemoteDesktopHeader,
                  std::size(kRemoteDesktopColumns)),
     true},
    {Category::kOfficeDocuments, "b15", TreeGroup::kWindows, "Office Documents", kOfficeColumns,
     "Double Click to open", false, false, ReadOfficeDocuments, RowAction::kOpenFirstColumn,
     TodaySection("Creating Windows Office Documents report...", "Windows-Office Documents",
                  "Windows-Office Documents</a></td></tr>", "Office Documents", kOfficeHeader,
                  std::size(kOfficeColumns)),
     true},
    {Category::kWindowsTimeline, "b16", TreeGroup::kWindows, "Windows Timeline", kWindowsTimelineColumns,
     "", true, true, ReadWindowsTimeline, RowAction::kNothing,
     TodaySection("Creating Windows Timeline report...", "Windows-Windows Timeline",
                  "Windows-Windows Timeline</a></td></tr>", "Windows Timeline", kWindowsTimelineHeader,
                  std::size(kWindowsTimelineColumns)),
     true},
    {Category::kStartupPrograms, "b17", TreeGroup::kWindows, "Startup Programs", kStartupColumns,
     "", false, false, ReadStartupPrograms, RowAction::kNothing,
     TodaySection("Creating Windows Startup Programs report...", "Windows-Startup Programs",
                  "Windows-Startup Programs</a></td></tr>", "Startup Programs", kStartupHeader,
                  std::size(kStartupColumns)),
     true},

    // Every category's times in one list; a row does what its category does.
    {Category::kTimeline, "t1", TreeGroup::kTimeline, "Timeline", kTimelineColumns,
     "Double click to open", false, true, ReadTimelineOfEveryCategory, RowAction::kAsItsCategory,
     {ReportGroup::kTimeline, "Creating Timeline report...", "Timeline", "Timeline</a></td></tr>", "Timeline",
      kTimelineHeader, ReportRows::kCells, kTimelineCells},
     false, true},
};
// clang-format on

constexpr std::string_view kIeIndexStart[] = {R"(<tr><td style="width: 122px" class="style9">)",
                                              "Internet Explorer</td>"};
constexpr std::string_view kIeIndexEnd[] = {R"(<td class="style9">&nbsp;</td><td class="style9">&nbsp;</td></tr>)"};
// The Windows row has no "</tr>": the next row's "<tr>" closes it.
constexpr std::string_view kWindowsIndexStart[] = {R"(<tr><td style="width: 122px" class="style9">)", "Windows</td>"};
constexpr std::string_view kFirefoxIndexStart[] = {R"(<tr><td style="width: 122px" class="style9">Firefox</td>)"};
constexpr std::string_view kFirefoxIndexEnd[] = {R"(<td class="; style9; ">&nbsp;</td>)",
                                                 R"(<td class="; style9; ">&nbsp;</td></tr>)"};
constexpr std::string_view kChromeIndexStart[] = {R"(<tr><td style="width: 122px" class="style9">Chrome</td>)"};
constexpr std::string_view kChromeIndexEnd[] = {R"(<td class="style9">&nbsp;</td>)",
                                                R"(<td class="style9">&nbsp;</td></tr>)"};
constexpr std::string_view kEdgeIndexStart[] = {R"(<tr><td style="width: 122px" class="style9">Edge</td>)"};
constexpr std::string_view kWindowsTodayIndexStart[] = {R"(<tr><td style="width: 122px" class="style9">)",
                                                        "Windows today</td>"};
constexpr std::string_view kWindowsTodayIndexEnd[] = {"</tr>"};

constexpr std::string_view kTimelineIndexStart[] = {R"(<tr><td style="width: 122px" class="style9">Timeline</td>)"};

constexpr TreeGroupInfo kTreeGroups[] = {
    {TreeGroup::kInternetExplorer, "root", "Internet Explorer ", "Internet Explorer", ReportGroup::kInternetExplorer,
     kIeIndexStart, kIeIndexEnd},
    {TreeGroup::kWindows, "root2", "Windows", "Windows", ReportGroup::kWindows, kWindowsIndexStart, {}},
    {TreeGroup::kFirefox, "root3", "Firefox", "Firefox", ReportGroup::kFirefox, kFirefoxIndexStart, kFirefoxIndexEnd},
    {TreeGroup::kChrome, "root4", "Google Chrome", "Chrome", ReportGroup::kChrome, kChromeIndexStart, kChromeIndexEnd},
    {TreeGroup::kEdge, "root5", "Microsoft Edge", "Edge", ReportGroup::kEdge, kEdgeIndexStart, kChromeIndexEnd},
    {TreeGroup::kTimeline, "root6", "Timeline", "Timeline", ReportGroup::kTimeline, kTimelineIndexStart,
     kChromeIndexEnd},
};

constexpr ReportGroupInfo kReportGroups[] = {
    {ReportGroup::kInternetExplorer, "Internet Explorer", true, 360, 420, false},
    {ReportGroup::kWindows, "Windows", true, 2400, 420, false},
    {ReportGroup::kIndexFile, "Index.dat file", false, 4440, 420, true},
    {ReportGroup::kFirefox, "Mozilla Firefox", true, 360, 840, false},
    {ReportGroup::kChrome, "Google Chrome", true, 2400, 840, false},
    {ReportGroup::kEdge, "Microsoft Edge", true, 4440, 840, false},
    {ReportGroup::kTimeline, "Timeline", false, 2400, 1260, false},
    {ReportGroup::kWindowsToday, "Windows today", true, 360, 1260, false, kWindowsTodayIndexStart,
     kWindowsTodayIndexEnd},
};

}  // namespace

const CategoryTable& Categories() {
  static const CategoryTable table{kCategories, kTreeGroups, kReportGroups};
  return table;
}

}  // namespace tmr
