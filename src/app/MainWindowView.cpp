// What the main window keeps in tmere.ini: its place and size, the tree's
// width (dragged by the bar between tree and list), the column widths of
// each category and "Times in UTC".
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/MainWindow.h"
#include "app/SettingsFile.h"
#include "app/ViewSettings.h"
#include "core/Twips.h"
#include "platform/LocalTimeText.h"

namespace tmr {
namespace {

RECT ChildRectIn(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

void MainWindow::LoadViewSettings() {
  const SettingsFile* ini = services_.settings;
  if (!ini) return;
  if (auto width = ParseTreeWidth(ini->GetSetting(kViewSection, kTreeWidthKey))) {
    treeWidth_ = std::max(*width, MainGeometry::kMinTreeWidth);
  }
  SetTimesInUtc(ParseSwitch(ini->GetSetting(kViewSection, kTimesInUtcKey)));
}

void MainWindow::PlaceWindow(int showCommand) {
  std::optional<WindowPlace> place;
  if (services_.settings) place = ParseWindowPlace(services_.settings->GetSetting(kViewSection, kWindowKey));
  const RECT rect = place ? RECT{place->left, place->top, place->right, place->bottom} : RECT{};
  // A place on a screen no longer attached is not used.
  if (!place || !MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)) {
    ShowWindow(hwnd_, showCommand);
    return;
  }
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(hwnd_, &placement);
  placement.flags = 0;
  placement.rcNormalPosition = rect;
  placement.showCmd = static_cast<UINT>(showCommand);
  // A start that asks for the usual window gets the maximised one the user
  // left; a start asking for a minimised one gets that.
  const bool usual = showCommand == SW_SHOWNORMAL || showCommand == SW_SHOWDEFAULT || showCommand == SW_SHOW;
  if (place->maximized && usual) placement.showCmd = SW_SHOWMAXIMIZED;
  SetWindowPlacement(hwnd_, &placement);
}

void MainWindow::SaveViewSettings() {
  const SettingsFile* ini = services_.settings;
  if (!ini) return;
  SaveColumnWidths();
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (GetWindowPlacement(hwnd_, &placement)) {
    const RECT& r = placement.rcNormalPosition;
    const bool maximized = placement.showCmd == SW_SHOWMAXIMIZED ||
                           (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED));
    ini->SaveSetting(kViewSection, kWindowKey, WindowPlaceText({r.left, r.top, r.right, r.bottom, maximized}));
  }
  ini->SaveSetting(kViewSection, kTreeWidthKey, std::to_string(treeWidth_));
}

// The widths kept for the shown category, where there are as many as it
// has columns; otherwise its table's widths stay.
void MainWindow::ApplyColumnWidths(std::span<const ColumnInfo> columns) {
  widthsAsSet_.clear();
  const SettingsFile* ini = services_.settings;
  std::optional<std::vector<int>> kept;
  if (ini && shownCategory_ && shownCategory_->columns.size() == columns.size()) {
    kept = ParseColumnWidths(ini->GetSetting(kColumnWidthsSection, std::string(shownCategory_->key)), columns.size());
  }
  ListView view(list_);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const int column = static_cast<int>(i);
    if (kept) view.SetColumnWidth(column, Px((*kept)[i]));
    widthsAsSet_.push_back(view.ColumnWidth(column));
  }
}

// Writes the shown category's widths once the user has changed one.
void MainWindow::SaveColumnWidths() {
  const SettingsFile* ini = services_.settings;
  if (!ini || !shownCategory_) return;
  ListView view(list_);
  const std::size_t count = shownCategory_->columns.size();
  if (static_cast<std::size_t>(view.ColumnCount()) != count || widthsAsSet_.size() != count) return;
  std::vector<int> pixels;
  std::vector<int> twips;
  for (std::size_t i = 0; i < count; ++i) {
    pixels.push_back(view.ColumnWidth(static_cast<int>(i)));
    twips.push_back(PixelsToTwips(pixels.back(), dpi_));
  }
  if (pixels == widthsAsSet_) return;
  ini->SaveSetting(kColumnWidthsSection, std::string(shownCategory_->key), ColumnWidthsText(twips));
  widthsAsSet_ = pixels;
}

void MainWindow::ToggleTimesInUtc() {
  // The rows keep their times, not texts: every time on show is written
  // anew, and a filter looks for its text in the new texts.
  const bool on = !TimesInUtc();
  // The pickers keep the instants of the range, shown the new way.
  SYSTEMTIME from{};
  SYSTEMTIME to{};
  const DWORD fromState = DateTime_GetSystemtime(rangeFrom_, &from);
  const DWORD toState = DateTime_GetSystemtime(rangeTo_, &to);
  const Instant fromInstant = InstantOfShownTime(from);
  const Instant toInstant = InstantOfShownTime(to);
  SetTimesInUtc(on);
  if (fromState == GDT_VALID) {
    from = ShownTimeOf(fromInstant);
    DateTime_SetSystemtime(rangeFrom_, GDT_VALID, &from);
  }
  if (toState == GDT_VALID) {
    to = ShownTimeOf(toInstant);
    DateTime_SetSystemtime(rangeTo_, GDT_VALID, &to);
  }
  InvalidateRect(list_, nullptr, FALSE);
  if (model_.Filtering() || model_.FilterPending()) {
    model_.RefreshFilter();
    RunFilterSlice();
  }
  CheckMenuItem(GetMenu(hwnd_), kMenuTimesInUtc, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  if (services_.settings) services_.settings->SaveSetting(kViewSection, kTimesInUtcKey, on ? "1" : "0");
}

// ---- the bar between tree and list ----

RECT MainWindow::SplitterRect() const {
  const RECT tree = ChildRectIn(tree_);
  const RECT list = ChildRectIn(list_);
  return RECT{tree.right, tree.top, std::max(list.left, tree.right + 1), tree.bottom};
}

bool MainWindow::OnSplitterMouse(UINT msg, POINT point) {
  const RECT bar = SplitterRect();
  switch (msg) {
    case WM_SETCURSOR:
      if (!PtInRect(&bar, point)) return false;
      SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
      return true;
    case WM_LBUTTONDOWN:
      if (!PtInRect(&bar, point)) return false;
      draggingSplitter_ = true;
      dragOffset_ = point.x - bar.left;
      SetCapture(hwnd_);
      return true;
    case WM_MOUSEMOVE: {
      if (!draggingSplitter_) return false;
      RECT client{};
      GetClientRect(hwnd_, &client);
      const int right = PixelsToTwips(point.x - dragOffset_, dpi_);
      const int width = ClampTreeWidth(right - MainGeometry::kTreeLeft, PixelsToTwips(client.right, dpi_));
      if (width != treeWidth_) {
        treeWidth_ = width;
        OnSize();
      }
      return true;
    }
    case WM_LBUTTONUP:
      if (!draggingSplitter_) return false;
      draggingSplitter_ = false;
      ReleaseCapture();
      return true;
    default: return false;
  }
}

}  // namespace tmr
