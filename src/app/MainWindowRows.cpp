// The main window's work on the rows shown: the filter, run a slice at a
// time; selecting and copying; the list's menu; exporting the list.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <chrono>

#include "app/ListExport.h"
#include "app/MainWindow.h"
#include "categories/Timeline.h"
#include "core/ProgramState.h"
#include "core/TextUtil.h"
#include "platform/Clipboard.h"
#include "platform/DialogLayout.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/LocalTimeText.h"
#include "platform/StagedFile.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

using Clock = std::chrono::steady_clock;

// A slice of filtering leaves the window this long before it answers
// again; between slices its messages run.
constexpr auto kFilterSlice = std::chrono::milliseconds(15);
// Rows tested between looks at the clock.
constexpr std::size_t kRowsPerLook = 4096;

std::string FilteredCountText(std::size_t shown, std::size_t all) {
  return RecordCountText(shown) + " of " + std::to_string(all);
}

// A file name made of the list's title, without the characters file names
// cannot hold.
std::string SuggestedFileName(const std::string& title) {
  std::string name;
  for (char c : title) name += std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos ? c : '_';
  return name;
}

}  // namespace

// ---- filter ----

void MainWindow::OnFilterChanged() {
  model_.SetFilter(WindowText(filter_));
  RunFilterSlice();
}

void MainWindow::RunFilterSlice() {
  const auto end = Clock::now() + kFilterSlice;
  bool done = model_.ContinueFilter(kRowsPerLook);
  while (!done && Clock::now() < end) done = model_.ContinueFilter(kRowsPerLook);
  if (!done) {
    // A timer, unlike a posted message, comes only once the queue holds
    // nothing else, so keys and painting go first.
    SetTimer(hwnd_, kFilterTimer, USER_TIMER_MINIMUM, nullptr);
    return;
  }
  KillTimer(hwnd_, kFilterTimer);
  ShowFilteredRows();
}

void MainWindow::CompleteFilter() {
  if (!model_.FilterPending()) return;
  model_.FinishFilter();
  KillTimer(hwnd_, kFilterTimer);
  ShowFilteredRows();
}

void MainWindow::ShowFilteredRows() {
  ListView view(list_);
  // The places selected named rows of the earlier filter. Emptying the list
  // drops the selection at once, where deselecting every item would walk
  // each of a million (Wine's list view does).
  view.SetItemCount(0);
  SyncItemCount();
  if (model_.ShownCount() > 0) view.ShowRow(0);
  InvalidateRect(list_, nullptr, FALSE);
  UpdateCountPanel();
}

void MainWindow::UpdateCountPanel() {
  if (!countShown_) return;
  StatusBar(status_).SetText(2, model_.Filtering() ? FilteredCountText(model_.ShownCount(), model_.RowCount())
                                                   : RecordCountText(model_.RowCount()));
}

LRESULT CALLBACK MainWindow::FilterBoxProc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<MainWindow*>(data);
  switch (msg) {
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) {
        SetWindowTextW(edit, L"");
        return 0;
      }
      if (wp == VK_DOWN || wp == VK_RETURN) {
        SetFocus(self->list_);
        return 0;
      }
      break;
    case WM_CHAR:
      // Handled at WM_KEYDOWN; a single-line box would beep at them.
      if (wp == 0x1B || wp == L'\r') return 0;
      break;
    case WM_NCDESTROY: RemoveWindowSubclass(edit, FilterBoxProc, 0); break;
    default: break;
  }
  return DefSubclassProc(edit, msg, wp, lp);
}

// ---- the timeline's time range ----

namespace {

constexpr int kRangeChoiceWidth = 1500;  // twips
constexpr int kRangePickerWidth = 2500;
constexpr int kRangeGap = 60;

std::optional<Instant> PickedTime(HWND picker) {
  SYSTEMTIME shown{};
  if (DateTime_GetSystemtime(picker, &shown) != GDT_VALID) return std::nullopt;
  return InstantOfShownTime(shown);
}

void SetPicked(HWND picker, std::optional<Instant> instant) {
  SYSTEMTIME shown = instant ? ShownTimeOf(*instant) : SYSTEMTIME{};
  DateTime_SetSystemtime(picker, instant ? GDT_VALID : GDT_NONE, &shown);
}

}  // namespace

void MainWindow::PlaceTimeRange(int filterLeft, int listWidth) {
  const int top = Px(MainGeometry::kFilterTop);
  const int height = Px(MainGeometry::kFilterHeight);
  int filterWidth = listWidth;
  if (rangeShown_) {
    const int choice = Px(kRangeChoiceWidth);
    const int picker = Px(kRangePickerWidth);
    const int gap = Px(kRangeGap);
    filterWidth = std::max(Px(600), listWidth - choice - 2 * picker - 3 * gap);
    int x = filterLeft + filterWidth + gap;
    MoveWindow(rangeChoice_, x, top, choice, Px(2400), TRUE);
    x += choice + gap;
    MoveWindow(rangeFrom_, x, top, picker, height, TRUE);
    x += picker + gap;
    MoveWindow(rangeTo_, x, top, picker, height, TRUE);
  }
  MoveWindow(filter_, filterLeft, top, filterWidth, height, TRUE);
}

// Made when the timeline is first shown: a start of the program without it
// need not make the pickers.
void MainWindow::CreateTimeRange() {
  auto child = [&](DWORD ex, const wchar_t* cls, DWORD style, int id) {
    return CreateChildControl(hwnd_, cls, "", style, id, RECT{0, 0, 10, 10}, ex);
  };
  rangeChoice_ = child(0, WC_COMBOBOXW, WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, kRangeChoiceId);
  for (const char* choice : {"Everything", "Last hour", "Today", "Last 7 days", "Custom"}) {
    SendMessageW(rangeChoice_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(choice).c_str()));
  }
  SendMessageW(rangeChoice_, CB_SETCURSEL, 0, 0);
  for (HWND* picker : {&rangeFrom_, &rangeTo_}) {
    *picker = child(WS_EX_CLIENTEDGE, DATETIMEPICK_CLASSW, WS_TABSTOP | DTS_SHOWNONE,
                    picker == &rangeFrom_ ? kRangeFromId : kRangeToId);
    SendMessageW(*picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyy'-'MM'-'dd HH':'mm':'ss"));
    SYSTEMTIME none{};
    DateTime_SetSystemtime(*picker, GDT_NONE, &none);
  }
}

void MainWindow::ShowTimeRange(bool shown) {
  if (shown == rangeShown_) return;
  if (shown && !rangeChoice_) CreateTimeRange();
  rangeShown_ = shown;
  for (HWND control : {rangeChoice_, rangeFrom_, rangeTo_}) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
  if (!shown) ChooseRange(QuickRange::kEverything);
  OnSize();
}

void MainWindow::ChooseRange(QuickRange choice) {
  SendMessageW(rangeChoice_, CB_SETCURSEL, static_cast<WPARAM>(choice), 0);
  if (choice == QuickRange::kCustom) {
    ApplyTimeRange();
    return;
  }
  const Instant now = InstantNow();
  constexpr Instant kHour = 3600 * kMicrosecondsPerSecond;
  std::optional<Instant> from;
  switch (choice) {
    case QuickRange::kLastHour: from = now - kHour; break;
    case QuickRange::kToday: {
      SYSTEMTIME today = ShownTimeOf(now);
      today.wHour = today.wMinute = today.wSecond = 0;
      from = InstantOfShownTime(today);
      break;
    }
    case QuickRange::kLastSevenDays: from = now - 7 * 24 * kHour; break;
    default: break;
  }
  SetPicked(rangeFrom_, from);
  SetPicked(rangeTo_, std::nullopt);
  ApplyTimeRange();
}

void MainWindow::OnRangePicked() {
  SendMessageW(rangeChoice_, CB_SETCURSEL, static_cast<WPARAM>(QuickRange::kCustom), 0);
  ApplyTimeRange();
}

void MainWindow::ApplyTimeRange() {
  std::optional<Instant> from = rangeShown_ ? PickedTime(rangeFrom_) : std::nullopt;
  std::optional<Instant> to = rangeShown_ ? PickedTime(rangeTo_) : std::nullopt;
  // The picker shows whole seconds: "To" takes in its whole second.
  if (to) *to += kMicrosecondsPerSecond - 1;
  model_.SetTimeRange(kTimelineTime, from, to);
  RunFilterSlice();
}

// ---- selection and copy ----

bool MainWindow::OnListKey(WORD key) {
  if (GetKeyState(VK_CONTROL) >= 0) return false;
  if (key == 'A') {
    SelectAllRows();
    return true;
  }
  if (key == 'C') {
    CopySelectedRows();
    return true;
  }
  return false;
}

void MainWindow::SelectAllRows() {
  CompleteFilter();
  ListView(list_).SelectAll();
}

void MainWindow::CopySelectedRows() {
  ListView view(list_);
  const int selected = view.SelectedCount();
  if (selected <= 0 || model_.ColumnCount() == 0) return;
  // A million selected rows are taken whole rather than asked for one by one.
  const std::string text =
      selected == view.ItemCount() ? TabSeparatedText(model_) : TabSeparatedText(model_, view.SelectedRows());
  SetClipboardText(hwnd_, text);
}

// ---- the list's menu ----

HMENU MainWindow::BuildListMenu() const {
  const CategoryInfo* category = CategoryOf(TreeView(tree_).Selection());
  const bool anySelected = ListView(list_).SelectedCount() > 0;
  bool canOpen = category && category->rowAction != RowAction::kNothing;
  if (category &&
      (category->rowAction == RowAction::kOpenFirstColumn || category->rowAction == RowAction::kAsItsCategory)) {
    canOpen = anySelected;
  }
  auto state = [](bool enabled) { return static_cast<UINT>(MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED)); };

  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, state(anySelected), kMenuCopy, L"Copy");
  AppendMenuW(menu, state(canOpen), kMenuOpen, L"Open");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, state(shownCategory_ && !running_), kMenuExportList, L"Export List...");
  return menu;
}

void MainWindow::ShowListMenu(LPARAM where) {
  POINT point{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  // From the keyboard (the menu key, Shift+F10) the point is (-1, -1): the
  // menu opens at the focused row, or at the list's corner.
  if (where == -1) {
    RECT rect{};
    const int row = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    if (row < 0 || !ListView_GetItemRect(list_, row, &rect, LVIR_LABEL)) GetClientRect(list_, &rect);
    point = {rect.left, rect.bottom};
    ClientToScreen(list_, &point);
  }
  HMENU menu = BuildListMenu();
  const int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, hwnd_, nullptr);
  DestroyMenu(menu);
  if (command != 0) Command(command);
}

// ---- export ----

void MainWindow::ExportList() {
  if (running_ || !shownCategory_) return;
  CompleteFilter();
  const TreeGroupInfo& group = table_.Of(shownCategory_->treeGroup);
  const std::string title = Trim(group.nodeText) + " " + std::string(shownCategory_->nodeText);

  FileDialogRequest request;
  request.owner = hwnd_;
  request.title = "Export List";
  request.filterDescription = "CSV file (*.csv)";
  request.filterPattern = "*.csv";
  request.moreFilters = {
      {"Tab-separated text (*.txt)", "*.txt"}, {"HTML file (*.htm)", "*.htm"}, {"JSON Lines (*.jsonl)", "*.jsonl"}};
  const bool timeline = shownCategory_->newestFirst;
  if (timeline) {
    request.moreFilters.push_back({"Timeline (CSV for Timesketch) (*.csv)", "*.csv"});
    request.moreFilters.push_back({"Timeline (JSON Lines for Timesketch) (*.jsonl)", "*.jsonl"});
  }
  request.initialFolder = ReportFolder;
  request.fileName = SuggestedFileName(title);
  request.defaultExtension = "csv";
  request.flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  request.bufferChars = 1024;
  unsigned chosenFilter = 0;
  const auto picked = PickFileToSave(request, &chosenFilter);
  if (!picked) return;
  const std::string path = CutAtNul(*picked);
  // The name's extension decides; a name without one of ours is written in
  // the form of the filter left chosen.
  const ExportFormat byFilter = chosenFilter == 2   ? ExportFormat::kTabSeparated
                                : chosenFilter == 3 ? ExportFormat::kHtml
                                : chosenFilter == 4 ? ExportFormat::kJsonLines
                                                    : ExportFormat::kCsv;
  // The timeline server's forms share their extensions with the plain ones:
  // the filter decides.
  ExportFormat format = ExportFormatOfName(path).value_or(byFilter);
  if (timeline && chosenFilter == 5) format = ExportFormat::kTimesketchCsv;
  if (timeline && chosenFilter == 6) format = ExportFormat::kTimesketchJsonLines;

  HCURSOR cursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  StagedFile file;
  bool written = file.Create(path);
  if (written) {
    WriteExport(format, model_, title, [&](std::string_view bytes) { file.Write(bytes); });
    written = file.Commit();
  }
  SetCursor(cursor);
  if (!written) ShowMessage(hwnd_, "The list could not be written to " + path + ".", MB_OK);
}

}  // namespace tmr
