#include "app/MainWindow.h"

#include <commctrl.h>
#include <windowsx.h>

#include <iterator>

#include "app/MainLayout.h"
#include "app/ReadTurn.h"
#include "app/SettingsFile.h"
#include "app/StartupSettings.h"
#include "categories/Timeline.h"
#include "core/ProgramState.h"
#include "core/TextUtil.h"
#include "platform/DialogLayout.h"
#include "platform/FileDialogs.h"
#include "platform/LocalTimeText.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

constexpr wchar_t kClassName[] = L"TracemereViewer";
constexpr char kPromotionText[] = "Erase these traces with Tracemere Sweep";

HMENU BuildMenu(bool timesInUtc) {
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, MainWindow::kMenuOpenFolder, L"Open Traces Folder...");
  AppendMenuW(file, MF_STRING | MF_CHECKED, MainWindow::kMenuThisPc, L"This PC");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, MainWindow::kMenuExportList, L"Export List...");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, MainWindow::kMenuOptions, L"Options");
  AppendMenuW(file, MF_STRING, MainWindow::kMenuExit, L"&Exit");

  HMENU view = CreatePopupMenu();
  AppendMenuW(view, MF_STRING | (timesInUtc ? MF_CHECKED : MF_UNCHECKED), MainWindow::kMenuTimesInUtc, L"Times in UTC");

  HMENU report = CreatePopupMenu();
  AppendMenuW(report, MF_STRING, MainWindow::kMenuCreateReport, L"Create Report");
  AppendMenuW(report, MF_STRING, MainWindow::kMenuViewReport, L"View Report");

  HMENU help = CreatePopupMenu();
  AppendMenuW(help, MF_STRING, MainWindow::kMenuOnlineHelp, L"Online Help");
  AppendMenuW(help, MF_STRING, MainWindow::kMenuNewVersion, L"Check for new version");
  AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(help, MF_STRING, MainWindow::kMenuPromotion, Widen(std::string(kPromotionText) + "...").c_str());
  AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(help, MF_STRING, MainWindow::kMenuAbout, L"About");

  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"View");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(report), L"Report");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"Help");
  return bar;
}

RECT ChildRect(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Ctrl+F anywhere in the window puts the caret in the filter box.
HACCEL CreateShortcuts() {
  ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'F', MainWindow::kFocusFilter}};
  return CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

}  // namespace

MainWindow::MainWindow(const CategoryTable& table, ViewerServices services)
    : table_(table), services_(std::move(services)), model_(ViewerCellFormat()) {}

MainWindow::~MainWindow() {
  // A window destroyed with its object never sees WM_DESTROY here.
  if (hwnd_) {
    KillTimer(hwnd_, kFilterTimer);
    UnregisterAccelerators(hwnd_);
  }
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

int MainWindow::Px(int twips) const { return TwipsToPixels(twips, dpi_); }

bool MainWindow::Create(int showCommand) {
  InitCommonControlsOnce();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClassOnce(kClassName, WindowProc)) return false;

  dpi_ = ScreenDpi();
  LoadViewSettings();
  RECT rect{0, 0, Px(MainGeometry::kInnerWidth), Px(MainGeometry::kInnerHeight)};
  DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  HMENU menu = BuildMenu(TimesInUtc());
  AdjustWindowRectEx(&rect, style, TRUE, 0);
  HWND hwnd = CreateWindowExW(0, kClassName, Widen(Title()).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                              rect.right - rect.left, rect.bottom - rect.top, nullptr, menu, instance, this);
  if (!hwnd) {
    DestroyMenu(menu);
    return false;
  }
  TopLevelWindowOpened();
  ShowSource();
  if (!accelerators_) accelerators_ = CreateShortcuts();
  RegisterAccelerators(hwnd, accelerators_);
  PlaceWindow(showCommand);
  UpdateWindow(hwnd);
  return true;
}

void MainWindow::OnCreate() {
  // Placed and sized once the window knows its size (OnSize).
  auto child = [&](DWORD ex, const wchar_t* cls, const std::string& text, DWORD style, int id) {
    return CreateChildControl(hwnd_, cls, text, style, id, RECT{0, 0, 10, 10}, ex);
  };

  tree_ = child(WS_EX_CLIENTEDGE, WC_TREEVIEWW, "",
                WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS, kTreeId);
  filter_ = child(WS_EX_CLIENTEDGE, WC_EDITW, "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, kFilterId);
  SetCueText(filter_, "Filter");
  SetWindowSubclass(filter_, FilterBoxProc, 0, reinterpret_cast<DWORD_PTR>(this));
  list_ = child(WS_EX_CLIENTEDGE, WC_LISTVIEWW, "",
                WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, kListId);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
  // The bar keeps the height the layout gives it rather than the control's
  // own, a few pixels taller, which would cover the promotional label.
  status_ = child(0, STATUSCLASSNAMEW, "", WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN, kStatusId);
  label_ = child(0, WC_LINK, std::string("<a>") + kPromotionText + "</a>", WS_VISIBLE | WS_TABSTOP, kLabelId);
  cancel_ = child(0, WC_BUTTONW, "Cancel", WS_TABSTOP | BS_PUSHBUTTON, kCancelId);
  // The Cancel button sits over the status bar, so it must be above it.
  SetWindowPos(cancel_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(label_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  const int listLeft = MainGeometry::kTreeLeft + treeWidth_ + MainGeometry::kSplitterWidth;
  MoveWindow(tree_, Px(MainGeometry::kTreeLeft), Px(MainGeometry::kTreeTop), Px(treeWidth_), 10, FALSE);
  MoveWindow(filter_, Px(listLeft), Px(MainGeometry::kFilterTop), 10, Px(MainGeometry::kFilterHeight), FALSE);
  MoveWindow(list_, Px(listLeft), Px(MainGeometry::kListTop), 10, 10, FALSE);
  MoveWindow(cancel_, 0, 0, Px(MainGeometry::kCancelWidth), Px(MainGeometry::kCancelHeight), FALSE);
  MoveWindow(label_, 0, 0, Px(MainGeometry::kLabelWidth), Px(MainGeometry::kLabelHeight), FALSE);
  StatusBar(status_).SetPanel1Width(Px(MainGeometry::kInnerWidth - 2400));

  FillTree();
}

// A node's item data: a category's place in the table, or for a root
// -1 - the group's place.
void MainWindow::FillTree() {
  TreeView tree(tree_);
  for (std::size_t g = 0; g < table_.treeGroups.size(); ++g) {
    const TreeGroupInfo& group = table_.treeGroups[g];
    HTREEITEM root = tree.Insert(nullptr, std::string(group.nodeText), -1 - static_cast<LPARAM>(g));
    for (std::size_t i = 0; i < table_.categories.size(); ++i) {
      const CategoryInfo& category = table_.categories[i];
      if (category.treeGroup == group.id) tree.Insert(root, std::string(category.nodeText), static_cast<LPARAM>(i));
    }
    tree.Expand(root);
  }
  // Expanding each root scrolls it into view, which leaves a tree taller
  // than its window scrolled to its last group.
  tree.SetFirstVisible(tree.Root());
}

HTREEITEM MainWindow::ItemForKey(std::string_view key) const {
  TreeView tree(tree_);
  for (HTREEITEM root = tree.Root(); root; root = tree.Next(root)) {
    if (KeyOf(root) == key) return root;
    for (HTREEITEM item = tree.Child(root); item; item = tree.Next(item)) {
      if (KeyOf(item) == key) return item;
    }
  }
  return nullptr;
}

HTREEITEM MainWindow::ItemFor(Category category) const { return ItemForKey(table_.Of(category).key); }

std::string MainWindow::KeyOf(HTREEITEM item) const {
  if (!item) return {};
  if (const CategoryInfo* category = CategoryOf(item)) return std::string(category->key);
  LPARAM data = TreeView(tree_).Data(item);
  const auto group = static_cast<std::size_t>(-1 - data);
  if (data < 0 && group < table_.treeGroups.size()) return std::string(table_.treeGroups[group].key);
  return {};
}

const CategoryInfo* MainWindow::CategoryOf(HTREEITEM item) const {
  if (!item) return nullptr;
  LPARAM data = TreeView(tree_).Data(item);
  if (data < 0 || static_cast<std::size_t>(data) >= table_.categories.size()) return nullptr;
  return &table_.categories[static_cast<std::size_t>(data)];
}

void MainWindow::OnSize() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int statusHeight = Px(MainGeometry::kStatusHeight);
  MoveWindow(status_, 0, client.bottom - statusHeight, client.right, statusHeight, TRUE);
  const int w = PixelsToTwips(client.right, dpi_);
  const int h = PixelsToTwips(client.bottom, dpi_);
  const MainLayout layout = ComputeMainLayout(w, h, treeWidth_);

  RECT treeRect = ChildRect(tree_);
  const int treeHeight = layout.treeHeight ? Px(*layout.treeHeight) : treeRect.bottom - treeRect.top;
  MoveWindow(tree_, treeRect.left, treeRect.top, Px(treeWidth_), treeHeight, TRUE);
  RECT listRect = ChildRect(list_);
  int listWidth = layout.listWidth ? Px(*layout.listWidth) : listRect.right - listRect.left;
  int listHeight = layout.listHeight ? Px(*layout.listHeight) : listRect.bottom - listRect.top;
  PlaceTimeRange(Px(layout.listLeft), listWidth);
  MoveWindow(list_, Px(layout.listLeft), listRect.top, listWidth, listHeight, TRUE);
  if (layout.panel1Width) StatusBar(status_).SetPanel1Width(Px(*layout.panel1Width));
  SetWindowPos(label_, nullptr, Px(layout.labelLeft), Px(layout.labelTop), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(cancel_, HWND_TOP, Px(layout.cancelLeft), Px(layout.cancelTop), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::RunStartupCheck(const SettingsFile& settings) {
  std::string lastCheck = settings.GetSetting("general", "lastcheckupdate");
  CheckInterval = ResolveCheckInterval(settings.GetSetting("general", "CheckInterval"));
  auto lastDate = ResolveLastCheck(lastCheck, UserShortDatePicture());
  if (ShouldAutoCheck(lastDate, LocalToday(), CheckInterval) && services_.checkVersion) {
    services_.checkVersion(hwnd_, true);
  }
}

// ---- dispatch ----

void MainWindow::ClickNode(HTREEITEM item) {
  if (const CategoryInfo* category = CategoryOf(item)) Show(category);
}

void MainWindow::ClickCategory(Category category) {
  HTREEITEM item = ItemFor(category);
  TreeView(tree_).Select(item);
  ClickNode(item);
}

bool MainWindow::ClickNodeByKey(std::string_view key) {
  HTREEITEM item = ItemForKey(key);
  if (!item) return false;
  TreeView(tree_).Select(item);
  ClickNode(item);
  return true;
}

void MainWindow::Show(const CategoryInfo* category) {
  if (running_) {
    // A click during a long read: stop it, then show the new category once
    // it has returned, so the rows of two categories never mix.
    cancelRequested_ = true;
    pending_ = category;
    return;
  }
  // The report is being written: the click waits for it, as a click waits
  // for a read of the window's own.
  ReadTurn turn([this] { cancelRequested_ = true; });
  if (!turn.Held()) {
    pending_ = category;
    WaitForReadTurn();
    return;
  }
  while (category && hwnd_) {
    // Held for the read: the source may be switched while it runs.
    const std::shared_ptr<const TraceSource> source = source_;
    ReadContext context;
    context.source = source.get();
    context.chooseIndexFile = [this, source] {
      return services_.chooseIndexFile ? services_.chooseIndexFile(hwnd_, source ? *source : LiveTraceSource())
                                       : std::string();
    };
    // The profiles chosen in the options are this PC's.
    if (services_.browserProfiles && (!source || source->Live())) context.profiles = services_.browserProfiles();
    running_ = true;
    cancelRequested_ = false;
    SaveColumnWidths();
    shownCategory_ = category;
    ShowTimeRange(category->newestFirst);
    ShowCategory(*category, *this, *this, context);
    running_ = false;
    if (!IsWindowVisible(list_)) SetListVisible(true);
    SyncItemCount();
    if (closePending_) {
      DestroyWindow(hwnd_);
      return;
    }
    category = std::exchange(pending_, nullptr);
  }
}

void MainWindow::WaitForReadTurn() {
  if (waitingForTurn_) return;
  waitingForTurn_ = true;
  HWND self = hwnd_;
  ReadTurn::WhenFree([self] { PostMessageW(self, kReadTurnFreeMessage, 0, 0); });
}

void MainWindow::OnReadTurnFree() {
  waitingForTurn_ = false;
  if (closePending_) {
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    return;
  }
  if (const CategoryInfo* category = std::exchange(pending_, nullptr)) Show(category);
}

void MainWindow::DoubleClickRow() {
  const CategoryInfo* category = CategoryOf(TreeView(tree_).Selection());
  if (!category) return;
  std::size_t textColumn = 0;
  if (category->rowAction == RowAction::kAsItsCategory) {
    // A timeline row: its own category's action, on its main text.
    const int row = ListView(list_).SelectedRow();
    if (row < 0 || static_cast<size_t>(row) >= model_.ShownCount()) return;
    category = table_.FindCategoryNamed(model_.CellText(static_cast<size_t>(row), kTimelineCategory, cellScratch_));
    if (!category || category->rowAction == RowAction::kAsItsCategory) return;
    textColumn = kTimelineItem;
  }
  switch (category->rowAction) {
    case RowAction::kNothing: return;
    case RowAction::kOpenCookieFolder: {
      if (!services_.cookieFolder) return;
      std::string folder = Trim(services_.cookieFolder(Source()));
      if (!folder.empty()) ShellOpen(hwnd_, folder, SW_SHOWNORMAL);
      return;
    }
    case RowAction::kOpenFirstColumn: {
      int row = ListView(list_).SelectedRow();
      if (row < 0 || static_cast<size_t>(row) >= model_.ShownCount()) return;
      std::string text = CutAtNul(model_.CellText(static_cast<size_t>(row), textColumn, cellScratch_));
      if (!text.empty()) ShellOpen(hwnd_, text, SW_SHOWNORMAL);
      return;
    }
    case RowAction::kAsItsCategory: return;
  }
}

void MainWindow::ClickColumn(int column) {
  if (column < 0 || static_cast<size_t>(column) >= model_.ColumnCount()) return;
  // The rows sorted are the filter's: a pending pass is completed first.
  CompleteFilter();
  model_.ClickColumn(column);
  ListView(list_).SetSortArrow(model_.SortKey(), model_.SortDescending());
  InvalidateRect(list_, nullptr, FALSE);
}

void MainWindow::ViewReport() {
  FileDialogRequest request = ReportFileRequest(hwnd_, ReportFolder);
  if (auto file = PickFileToOpen(request)) {
    std::string name = CutAtNul(*file);
    if (!name.empty()) ShellOpen(hwnd_, name, SW_HIDE);
  }
}

void MainWindow::OpenTracesFolder() {
  if (!services_.openTracesFolder) return;
  if (std::shared_ptr<const TraceSource> source = services_.openTracesFolder(hwnd_)) SetSource(std::move(source));
}

void MainWindow::SetSource(std::shared_ptr<const TraceSource> source) {
  source_ = std::move(source);
  if (!hwnd_) return;
  ShowSource();
  // The rows shown came from the other source (a read still running stops
  // and the category is read again).
  if (shownCategory_) Show(shownCategory_);
}

std::string MainWindow::Title() const { return "Tracemere - " + Source().Name(); }

void MainWindow::ShowSource() {
  SetWindowTextUtf8(hwnd_, Title());
  CheckMenuItem(GetMenu(hwnd_), kMenuThisPc, MF_BYCOMMAND | (source_ ? MF_UNCHECKED : MF_CHECKED));
}

void MainWindow::Command(int id) {
  switch (id) {
    case kMenuOptions:
      if (services_.showOptions) services_.showOptions(hwnd_);
      break;
    case kMenuExit: PostMessageW(hwnd_, WM_CLOSE, 0, 0); break;
    case kMenuCreateReport:
      if (services_.showCreateReport) services_.showCreateReport(hwnd_, source_);
      break;
    case kMenuOpenFolder: OpenTracesFolder(); break;
    case kMenuThisPc:
      if (source_) SetSource(nullptr);
      break;
    case kMenuViewReport: ViewReport(); break;
    case kMenuOnlineHelp: ShellOpen(hwnd_, SiteAddress + "/support.htm", SW_HIDE); break;
    case kMenuNewVersion:
      if (services_.checkVersion) services_.checkVersion(hwnd_, false);
      break;
    case kMenuPromotion: ShellOpen(hwnd_, MakerPageAddress, SW_HIDE); break;
    case kMenuAbout:
      if (services_.showAbout) services_.showAbout(hwnd_);
      break;
    case kMenuExportList: ExportList(); break;
    case kMenuTimesInUtc: ToggleTimesInUtc(); break;
    case kMenuCopy: CopySelectedRows(); break;
    case kMenuOpen: DoubleClickRow(); break;
    case kFocusFilter:
      SetFocus(filter_);
      SendMessageW(filter_, EM_SETSEL, 0, -1);
      break;
    case kCancelId:
      cancelRequested_ = true;
      ShowWindow(cancel_, SW_HIDE);
      break;
    default: break;
  }
}

// ---- CategoryList ----

void MainWindow::ResetColumns(std::span<const ColumnInfo> columns) {
  model_.Clear();
  ListView view(list_);
  // A shown list lays itself out once for the new columns, not once for
  // each; a hidden one does when it is shown.
  const bool shown = IsWindowVisible(list_) != FALSE;
  if (shown) SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  view.SetItemCount(0);
  view.DeleteAllColumns();
  for (const ColumnInfo& column : columns) {
    view.InsertColumn(static_cast<int>(model_.ColumnCount()), std::string(column.header), Px(column.widthTwips));
    model_.AddColumn(std::string(column.header), column.widthTwips);
  }
  ApplyColumnWidths(columns);
  if (shown) SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
}

void MainWindow::AddRow(std::span<const CellValue> cells) {
  // The list learns of new rows on the pump's time slice: a count update
  // per row costs the list a repaint request each.
  model_.AddRow(cells);
}

void MainWindow::SortRows(std::size_t column, bool descending) {
  model_.SortBy(column, descending);
  ListView(list_).SetSortArrow(model_.SortKey(), model_.SortDescending());
}

void MainWindow::SyncItemCount() {
  ListView view(list_);
  if (static_cast<size_t>(view.ItemCount()) != model_.ShownCount()) view.SetItemCount(model_.ShownCount());
}

void MainWindow::SetListVisible(bool visible) {
  if (visible) SyncItemCount();
  ShowWindow(list_, visible ? SW_SHOW : SW_HIDE);
}

void MainWindow::SetPanel(int panel, const std::string& text) {
  // Panel 2 holds the record count; under a filter it tells the rows shown
  // of all (UpdateCountPanel).
  if (panel == 2) {
    countShown_ = true;
    if (model_.Filtering()) {
      UpdateCountPanel();
      return;
    }
  }
  StatusBar(status_).SetText(panel, text);
}

// ---- ReadProgress ----

void MainWindow::ShowCancelButton(bool visible) { ShowWindow(cancel_, visible ? SW_SHOW : SW_HIDE); }

void MainWindow::BeginProgress(double maximum) {
  progressPending_ = false;
  progressBegun_ = true;
  progressShown_ = false;
  progressMaximum_ = maximum;
  if (maximum > 0) model_.ReserveRows(static_cast<std::size_t>(std::min(maximum, 1e9)));
  progressDueAt_ = GetTickCount64() + kProgressDelayMs;
}

void MainWindow::ShowProgressWhenDue() {
  if (!progressBegun_ || progressShown_ || GetTickCount64() < progressDueAt_) return;
  progressShown_ = true;
  // The dialog asks the read to stop however it goes, but for when the
  // window closes it at the read's end: the read of the timeline's next
  // category must go on.
  if (services_.showProgress) {
    services_.showProgress(hwnd_, progressMaximum_, [this] {
      if (progressShown_) cancelRequested_ = true;
    });
  }
}

void MainWindow::SetProgress(double value, const std::string& label) {
  // Readers report every row; the dialog is brought up to date when the
  // window pumps, which is as often as anyone can see it change.
  progressValue_ = value;
  progressLabel_ = label;
  progressLabelIsCount_ = false;
  progressPending_ = true;
}

void MainWindow::SetProgressRecords(std::size_t count) {
  progressValue_ = static_cast<double>(count);
  progressRecords_ = count;
  progressLabelIsCount_ = true;
  progressPending_ = true;
}

void MainWindow::FlushProgress() {
  ShowProgressWhenDue();
  if (!progressPending_ || !progressShown_) return;
  progressPending_ = false;
  if (progressLabelIsCount_) progressLabel_ = "Records: " + std::to_string(progressRecords_);
  if (services_.setProgress) services_.setProgress(progressValue_, progressLabel_);
}

void MainWindow::EndProgress() {
  progressPending_ = false;
  progressBegun_ = false;
  if (std::exchange(progressShown_, false) && services_.closeProgress) services_.closeProgress();
}

bool MainWindow::KeepGoing() {
  if (pump_.Due()) {
    if (IsWindowVisible(list_)) SyncItemCount();
    FlushProgress();
  }
  if (pump_.Tick()) {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) cancelRequested_ = true;
  }
  return !cancelRequested_;
}

// ---- messages ----

LRESULT MainWindow::OnNotify(NMHDR* header) {
  if (header->hwndFrom == tree_) {
    if (header->code == NM_CLICK) {
      // The click arrives before the tree moves its selection; dispatch once
      // the click has been handled, so the selected node is the clicked one.
      DWORD where = GetMessagePos();
      POINT point{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
      ScreenToClient(tree_, &point);
      if (HTREEITEM item = TreeView(tree_).HitTest(point)) {
        PostMessageW(hwnd_, kNodeClickMessage, 0, reinterpret_cast<LPARAM>(item));
      }
    } else if (header->code == TVN_SELCHANGEDW) {
      auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
      if (change->action == TVC_BYKEYBOARD) {
        PostMessageW(hwnd_, kNodeClickMessage, 0, reinterpret_cast<LPARAM>(change->itemNew.hItem));
      }
    }
    return 0;
  }
  if (header->hwndFrom == list_) {
    switch (header->code) {
      case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
          std::string_view cell = model_.CellText(static_cast<size_t>(info->item.iItem),
                                                  static_cast<size_t>(info->item.iSubItem), cellScratch_);
          dispBuffer_ = Widen(cell.substr(0, cell.find('\0')));
          lstrcpynW(info->item.pszText, dispBuffer_.c_str(), info->item.cchTextMax);
        }
        return 0;
      }
      case LVN_ODFINDITEMW: {
        // A user typing the start of a row.
        const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
        if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz) return -1;
        const std::optional<std::size_t> row =
            model_.FindRow(Narrow(find->lvfi.psz), static_cast<std::size_t>(std::max(find->iStart, 0)),
                           (find->lvfi.flags & LVFI_WRAP) != 0, (find->lvfi.flags & LVFI_PARTIAL) == 0);
        return row ? static_cast<LRESULT>(*row) : -1;
      }
      case NM_DBLCLK: DoubleClickRow(); return 0;
      case LVN_COLUMNCLICK: ClickColumn(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem); return 0;
      case LVN_KEYDOWN: OnListKey(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey); return 0;
      default: return 0;
    }
  }
  if ((header->hwndFrom == rangeFrom_ || header->hwndFrom == rangeTo_) && header->code == DTN_DATETIMECHANGE) {
    OnRangePicked();
    return 0;
  }
  if (header->hwndFrom == label_ && (header->code == NM_CLICK || header->code == NM_RETURN)) {
    Command(kMenuPromotion);
    return 0;
  }
  return 0;
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_SIZE: OnSize(); return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_COMMAND:
      if (LOWORD(wp) == kFilterId) {
        if (HIWORD(wp) == EN_CHANGE) OnFilterChanged();
        return 0;
      }
      if (LOWORD(wp) == kRangeChoiceId) {
        if (HIWORD(wp) == CBN_SELCHANGE) {
          ChooseRange(static_cast<QuickRange>(SendMessageW(rangeChoice_, CB_GETCURSEL, 0, 0)));
        }
        return 0;
      }
      Command(LOWORD(wp));
      return 0;
    case WM_TIMER:
      if (wp == kFilterTimer) RunFilterSlice();
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wp) == list_) {
        ShowListMenu(lp);
        return 0;
      }
      return Default(msg, wp, lp);
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == hwnd_ && LOWORD(lp) == HTCLIENT) {
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(hwnd_, &point);
        if (OnSplitterMouse(msg, point)) return TRUE;
      }
      return Default(msg, wp, lp);
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      if (OnSplitterMouse(msg, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) return 0;
      return Default(msg, wp, lp);
    case WM_CAPTURECHANGED: draggingSplitter_ = false; return 0;
    case kNodeClickMessage: ClickNode(reinterpret_cast<HTREEITEM>(lp)); return 0;
    case kReadTurnFreeMessage: OnReadTurnFree(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_CLOSE:
      if (running_) {
        // The running reader is still on the stack: stop it first and close
        // once it has returned.
        cancelRequested_ = true;
        closePending_ = true;
        return 0;
      }
      if (ReadTurn::Taken()) {
        // The report is being written; its dialog asks whether to stop, and
        // the window closes once the writing has ended either way.
        closePending_ = true;
        ReadTurn::AskHolderToStop();
        WaitForReadTurn();
        return 0;
      }
      DestroyWindow(hwnd_);
      return 0;
    default: return Default(msg, wp, lp);
  }
}

void MainWindow::OnDestroy() {
  KillTimer(hwnd_, kFilterTimer);
  UnregisterAccelerators(hwnd_);
  SaveViewSettings();
}

void MainWindow::OnFinalDestroy() { TopLevelWindowClosed(); }

}  // namespace tmr
