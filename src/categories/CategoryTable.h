// The one table of categories. A row holds everything about a category:
// its node in the tree, the list's columns and status texts, the reader,
// what a double-click on a row does, and its section of the report. The
// tree, the dispatch of clicks, the report run, the report's index and the
// report dialog's group boxes are all driven by it; adding a category is
// one row plus its reader.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "readers/RowSink.h"

namespace tmr {

enum class Category {
  kIeUrlHistory,
  kIeTypedUrls,
  kIeCookies,
  kIeIndexFile,
  kRecentDocuments,
  kSearchHistory,
  kRunHistory,
  kOpenSaveHistory,
  kLastVisited,
  kUsbStorage,
  kFirstFolders,
  kTypedPaths,
  kFirefoxUrlHistory,
  kFirefoxCookies,
  kFirefoxDownloads,
  kFirefoxInputHistory,
  kFirefoxFormHistory,
  kChromeUrlHistory,
  kChromeCookies,
  kChromeDownloads,
  kChromeTopSites,
  kChromeKeywords,
  kEdgeUrlHistory,
  kEdgeCookies,
  kEdgeDownloads,
  kEdgeTopSites,
  kEdgeKeywords,
  kJumpLists,
  kProgramsRun,
  kFoldersOpened,
  kRecycleBin,
  kPowerShellHistory,
  kRemoteDesktop,
  kOfficeDocuments,
  kWindowsTimeline,
  kStartupPrograms,
  kTimeline,
};

// The roots of the tree.
enum class TreeGroup { kInternetExplorer, kWindows, kFirefox, kChrome, kEdge, kTimeline };

// The report dialog's group boxes. The traces of today's Windows have a box
// of their own, so the report of the classic groups stays as it was.
enum class ReportGroup {
  kInternetExplorer,
  kWindows,
  kIndexFile,
  kFirefox,
  kChrome,
  kEdge,
  kWindowsToday,
  kTimeline,
};

struct ColumnInfo {
  std::string_view header;
  int widthTwips;
  // What the column's cells hold; a reader gives an empty text where the
  // store holds nothing, and a text where a number column holds none.
  CellKind kind = CellKind::kText;
  // For a time column of a category that feeds the timeline: what the
  // time means there ("Visited", "Cookie created", "Last run").
  std::string_view timeMeaning = {};
};

enum class RowAction {
  kNothing,
  kOpenFirstColumn,   // hand the row's text to the shell
  kOpenCookieFolder,  // open the user's cookie folder, whatever the row
  // The timeline: what the row's own category does, to the row's main text
  // (TimelineColumn::kItem) by its category (TimelineColumn::kCategory).
  kAsItsCategory,
};

// How a cell's text is cut in the report.
enum class Cut { kWhole, kLeft80, kLeft50, kTrim };

struct ReportCellInfo {
  std::size_t field;  // which of the row's cells
  Cut cut;
  // The cell's opening tags in the two row classes.
  std::string_view style7Tag;
  std::string_view style5Tag;
};

enum class ReportRows {
  // One cell a row, every row written (the first of every list is an empty
  // row), no "</tr>"; rows take style7 while the page's flag is clear.
  kSingleCell,
  // Several cells, the last closing the row; a row of one blank cell is
  // left out; rows take style7 while the page's flag is set.
  kCells,
  // As kCells, with the section's own flag, starting with style7, and no
  // row left out.
  kCellsOwnAlternation,
};

struct ReportSectionInfo {
  ReportGroup group;
  std::string_view statusText;  // the dialog's label while it is written
  std::string_view anchor;
  std::string_view heading;    // the line after the anchor
  std::string_view indexLink;  // the link's text in the index table
  std::span<const std::string_view> headerLines;
  ReportRows rows;
  std::span<const ReportCellInfo> cells;  // kCells and kCellsOwnAlternation
};

struct CategoryInfo {
  Category id;
  std::string_view key;  // names the node (e.g. for a screenshot of it)
  TreeGroup treeGroup;
  std::string_view nodeText;
  std::span<const ColumnInfo> columns;
  std::string_view hint;     // status panel 1 beside the list
  bool loadingWhileReading;  // panel 1 reads "Loading..." until the rows are in
  bool hideListWhileReading;
  CategoryReader read;
  RowAction rowAction;
  ReportSectionInfo report;
  // Whether its rows' times are events of the timeline (by the columns'
  // timeMeaning; the row's main text is its first column).
  bool feedsTimeline = false;
  // The list is shown sorted by its first column (a time), newest first.
  bool newestFirst = false;
};

struct TreeGroupInfo {
  TreeGroup id;
  std::string_view key;
  std::string_view nodeText;
  // The group in a category's full name ("Chrome - URL History").
  std::string_view shortName;
  // The report's index has a row for the group while this report group is
  // chosen.
  ReportGroup indexRowGroup;
  // The group's row of the report's index: the lines before its links, and
  // after the links and the empty cells that fill a row to seven.
  std::span<const std::string_view> indexRowStart;
  std::span<const std::string_view> indexRowEnd;
};

struct ReportGroupInfo {
  ReportGroup id;
  std::string_view boxText;
  bool tickedByDefault;
  int boxLeftTwips;
  int boxTopTwips;
  // The dialog's "skip" button is shown while its sections are written.
  bool skippable;
  // A group whose sections have a row of their own in the report's index
  // (while it is chosen) rather than cells in their tree group's row: the
  // lines before its links, and after the links and the empty cells that
  // fill a row to seven. Empty for the others.
  std::span<const std::string_view> indexRowStart = {};
  std::span<const std::string_view> indexRowEnd = {};
};

// The three tables, in the order of the tree, the report and the dialog.
struct CategoryTable {
  std::span<const CategoryInfo> categories;
  std::span<const TreeGroupInfo> treeGroups;
  std::span<const ReportGroupInfo> reportGroups;

  const CategoryInfo& Of(Category id) const;
  const TreeGroupInfo& Of(TreeGroup id) const;
  const ReportGroupInfo& Of(ReportGroup id) const;
  // The category or group a key names; null for none.
  const CategoryInfo* FindCategory(std::string_view key) const;
  // The category by its full name ("Chrome - URL History", FullName).
  const CategoryInfo* FindCategoryNamed(std::string_view fullName) const;
  // The group's short name, " - ", the node's text.
  std::string FullName(const CategoryInfo& category) const;
  const TreeGroupInfo* FindTreeGroup(std::string_view key) const;
};

// The program's categories.
const CategoryTable& Categories();

// A set of report groups (the ticked group boxes).
class ReportGroupSet {
 public:
  void Set(ReportGroup group, bool chosen) {
    const uint32_t bit = 1u << static_cast<unsigned>(group);
    bits_ = chosen ? (bits_ | bit) : (bits_ & ~bit);
  }
  bool Has(ReportGroup group) const { return (bits_ >> static_cast<unsigned>(group)) & 1u; }

 private:
  uint32_t bits_ = 0;
};

}  // namespace tmr
