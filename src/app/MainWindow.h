// The main window: category tree on the left, the filter box and the list
// of records on the right, status bar below. A click on a category shows it
// by its row of the category table; the reader fills the list and hears
// Cancel through the window. The rows shown can be filtered, copied and
// exported; the layout and the "Times in UTC" choice are kept in tmere.ini.
//
// The class's work is spread over three files: MainWindow.cpp (creation,
// tree, dispatch, messages), MainWindowRows.cpp (filter, selection, copy,
// menu of the list, export) and MainWindowView.cpp (the settings it keeps,
// the bar between tree and list).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/ListModel.h"
#include "app/MainLayout.h"
#include "app/ViewerServices.h"
#include "categories/CategoryTable.h"
#include "categories/ShowCategory.h"
#include "platform/Controls.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"

namespace tmr {

class SettingsFile;

class MainWindow final : public BaseWindow<MainWindow>, public CategoryList, public ReadProgress {
 public:
  // Control and menu identifiers.
  enum : int {
    kTreeId = 100,
    kListId,
    kStatusId,
    kCancelId,
    kLabelId,
    kFilterId,
    kRangeChoiceId,
    kRangeFromId,
    kRangeToId,
    kMenuOptions = 40001,
    kMenuExit,
    kMenuCreateReport,
    kMenuViewReport,
    kMenuOnlineHelp,
    kMenuNewVersion,
    kMenuPromotion,
    kMenuAbout,
    kMenuExportList,
    kMenuTimesInUtc,
    kMenuCopy,
    kMenuOpen,
    kFocusFilter,  // Ctrl+F
    kMenuOpenFolder,
    kMenuThisPc,
  };

  MainWindow(const CategoryTable& table, ViewerServices services);
  ~MainWindow() override;

  // Creates the window with its controls and category tree and shows it.
  bool Create(int showCommand);
  // Where the categories and the report read from; null is this PC. The
  // shown category is read again from the new source.
  void SetSource(std::shared_ptr<const TraceSource> source);
  const TraceSource& Source() const { return source_ ? *source_ : LiveTraceSource(); }

  // Reads the update-check settings and runs the automatic check when more
  // than CheckInterval days have passed since the last one.
  void RunStartupCheck(const SettingsFile& settings);

  // The user's actions, as the window's own handlers perform them.
  void ClickNode(HTREEITEM item);
  void ClickCategory(Category category);
  bool ClickNodeByKey(std::string_view key);
  void DoubleClickRow();
  void ClickColumn(int column);
  void Command(int id);
  // Ctrl+A and Ctrl+C in the list.
  void SelectAllRows();
  void CopySelectedRows();
  // The menu a right-click on the list opens; the caller destroys it.
  HMENU BuildListMenu() const;

  TreeView Tree() const { return TreeView(tree_); }
  ListView List() const { return ListView(list_); }
  StatusBar Status() const { return StatusBar(status_); }
  HWND CancelButton() const { return cancel_; }
  HWND PromotionLabel() const { return label_; }
  HWND FilterBox() const { return filter_; }
  // The timeline's time range: the quick choices and the From and To
  // pickers, shown above the list while a category newest first is.
  HWND RangeChoice() const { return rangeChoice_; }
  HWND RangeFrom() const { return rangeFrom_; }
  HWND RangeTo() const { return rangeTo_; }
  enum class QuickRange { kEverything, kLastHour, kToday, kLastSevenDays, kCustom };
  void ChooseRange(QuickRange choice);
  // Whether a filter pass over many rows is still running in slices.
  bool FilterPending() const { return model_.FilterPending(); }
  int TreeWidthTwips() const { return treeWidth_; }
  const ListModel& Model() const { return model_; }
  HTREEITEM ItemForKey(std::string_view key) const;
  HTREEITEM ItemFor(Category category) const;
  std::string KeyOf(HTREEITEM item) const;
  // The category of a node; null for a root.
  const CategoryInfo* CategoryOf(HTREEITEM item) const;
  bool ReaderRunning() const { return running_; }
  int Dpi() const { return dpi_; }

  // CategoryList
  using CategoryList::AddRow;
  void AddRow(std::span<const CellValue> cells) override;
  void ResetColumns(std::span<const ColumnInfo> columns) override;
  void SetListVisible(bool visible) override;
  void SetPanel(int panel, const std::string& text) override;
  std::size_t RowCount() const override { return model_.RowCount(); }
  bool SortsRows() const override { return true; }
  void SortRows(std::size_t column, bool descending) override;

  // ReadProgress
  void SetStatus(const std::string& text) override { SetPanel(1, text); }
  void ShowCancelButton(bool visible) override;
  void BeginProgress(double maximum) override;
  void SetProgress(double value, const std::string& label) override;
  void SetProgressRecords(std::size_t count) override;
  void EndProgress() override;
  bool KeepGoing() override;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnFinalDestroy() override;

 private:
  friend class BaseWindow<MainWindow>;
  static constexpr UINT kNodeClickMessage = WM_APP + 1;
  static constexpr UINT kReadTurnFreeMessage = WM_APP + 2;
  static constexpr UINT_PTR kFilterTimer = 1;

  void OnCreate();
  void OnSize();
  LRESULT OnNotify(NMHDR* header);
  void OnDestroy();
  void FillTree();
  void Show(const CategoryInfo* category);
  // A click while the report is being written runs once it is done.
  void WaitForReadTurn();
  void OnReadTurnFree();
  void SyncItemCount();
  void FlushProgress();
  void ShowProgressWhenDue();
  void ViewReport();
  void OpenTracesFolder();
  // The title and the File menu name the source.
  std::string Title() const;
  void ShowSource();
  int Px(int twips) const;

  // MainWindowRows.cpp
  void OnFilterChanged();
  void CreateTimeRange();
  void ShowTimeRange(bool shown);
  void OnRangePicked();
  void ApplyTimeRange();
  void PlaceTimeRange(int filterLeft, int listWidth);
  void RunFilterSlice();
  void CompleteFilter();
  void ShowFilteredRows();
  void UpdateCountPanel();
  void ShowListMenu(LPARAM where);
  void ExportList();
  bool OnListKey(WORD key);
  static LRESULT CALLBACK FilterBoxProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);

  // MainWindowView.cpp
  void LoadViewSettings();
  void PlaceWindow(int showCommand);
  void SaveViewSettings();
  void ApplyColumnWidths(std::span<const ColumnInfo> columns);
  void SaveColumnWidths();
  void ToggleTimesInUtc();
  RECT SplitterRect() const;
  bool OnSplitterMouse(UINT msg, POINT point);

  const CategoryTable& table_;
  ViewerServices services_;
  std::shared_ptr<const TraceSource> source_;
  ListModel model_;
  HWND tree_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  HWND cancel_ = nullptr;
  HWND label_ = nullptr;
  HWND filter_ = nullptr;
  HWND rangeChoice_ = nullptr;
  HWND rangeFrom_ = nullptr;
  HWND rangeTo_ = nullptr;
  bool rangeShown_ = false;
  HACCEL accelerators_ = nullptr;
  int dpi_ = 96;
  // The category whose columns the list has, and their widths in pixels as
  // set, to tell whether the user has changed them.
  const CategoryInfo* shownCategory_ = nullptr;
  std::vector<int> widthsAsSet_;
  int treeWidth_ = MainGeometry::kTreeWidth;  // twips
  bool draggingSplitter_ = false;
  int dragOffset_ = 0;
  // Panel 2 holds the record count (ShowCategory has written it), which a
  // new filter then rewrites.
  bool countShown_ = false;
  bool running_ = false;
  bool closePending_ = false;
  // Set by the Cancel button, the progress dialog, a click on another
  // category and closing; the running reader stops at its next row.
  bool cancelRequested_ = false;
  const CategoryInfo* pending_ = nullptr;
  bool waitingForTurn_ = false;
  TimeSlicePump pump_;
  std::wstring dispBuffer_;
  std::string cellScratch_;
  // The progress dialog comes up only for a read that is still going after
  // kProgressDelayMs: a quicker one would only flash it.
  static constexpr uint64_t kProgressDelayMs = 250;
  bool progressBegun_ = false;
  bool progressShown_ = false;
  uint64_t progressDueAt_ = 0;
  double progressMaximum_ = 0;
  double progressValue_ = 0;
  std::string progressLabel_;
  std::size_t progressRecords_ = 0;
  bool progressLabelIsCount_ = false;
  bool progressPending_ = false;
};

}  // namespace tmr
