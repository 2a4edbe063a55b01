#include "platform/Controls.h"

#include <vector>

#include "platform/WinText.h"

namespace tmr {

void InitCommonControlsOnce() {
  static bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                              ICC_PROGRESS_CLASS | ICC_LINK_CLASS | ICC_STANDARD_CLASSES |
                                              ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    return true;
  }();
  (void)done;
}

HFONT MessageFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      return CreateFontIndirectW(&metrics.lfMessageFont);
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

// ---- TreeView ----

HTREEITEM TreeView::Insert(HTREEITEM parent, const std::string& text, LPARAM data) {
  std::wstring wide = Widen(text);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = wide.data();
  insert.item.lParam = data;
  return reinterpret_cast<HTREEITEM>(SendMessageW(hwnd_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TreeView::Expand(HTREEITEM item) { SendMessageW(hwnd_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)); }

bool TreeView::IsExpanded(HTREEITEM item) const {
  auto state = SendMessageW(hwnd_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED);
  return (state & TVIS_EXPANDED) != 0;
}

HTREEITEM TreeView::Selection() const { return TreeView_GetSelection(hwnd_); }
void TreeView::Select(HTREEITEM item) { TreeView_SelectItem(hwnd_, item); }
HTREEITEM TreeView::Root() const { return TreeView_GetRoot(hwnd_); }
HTREEITEM TreeView::FirstVisible() const { return TreeView_GetFirstVisible(hwnd_); }
void TreeView::SetFirstVisible(HTREEITEM item) { TreeView_SelectSetFirstVisible(hwnd_, item); }
HTREEITEM TreeView::Child(HTREEITEM item) const { return TreeView_GetChild(hwnd_, item); }
HTREEITEM TreeView::Next(HTREEITEM item) const { return TreeView_GetNextSibling(hwnd_, item); }
HTREEITEM TreeView::Parent(HTREEITEM item) const { return TreeView_GetParent(hwnd_, item); }
int TreeView::Count() const { return static_cast<int>(TreeView_GetCount(hwnd_)); }

std::string TreeView::Text(HTREEITEM item) const {
  wchar_t buffer[260] = {};
  TVITEMW tvi{};
  tvi.mask = TVIF_TEXT;
  tvi.hItem = item;
  tvi.pszText = buffer;
  tvi.cchTextMax = 260;
  if (!SendMessageW(hwnd_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi))) return {};
  return Narrow(buffer);
}

LPARAM TreeView::Data(HTREEITEM item) const {
  TVITEMW tvi{};
  tvi.mask = TVIF_PARAM;
  tvi.hItem = item;
  if (!SendMessageW(hwnd_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi))) return -1;
  return tvi.lParam;
}

HTREEITEM TreeView::HitTest(POINT client) const {
  TVHITTESTINFO hit{};
  hit.pt = client;
  HTREEITEM item = TreeView_HitTest(hwnd_, &hit);
  return (hit.flags & TVHT_ONITEM) ? item : nullptr;
}

bool TreeView::ItemRect(HTREEITEM item, RECT& rect) const {
  return TreeView_GetItemRect(hwnd_, item, &rect, TRUE) != FALSE;
}

// ---- ListView ----

void ListView::InsertColumn(int index, const std::string& header, int widthPixels) {
  std::wstring wide = Widen(header);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = wide.data();
  column.cx = widthPixels;
  column.iSubItem = index;
  SendMessageW(hwnd_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void ListView::DeleteAllColumns() {
  while (SendMessageW(hwnd_, LVM_DELETECOLUMN, 0, 0)) {
  }
}

int ListView::ColumnCount() const {
  HWND header = ListView_GetHeader(hwnd_);
  return header ? Header_GetItemCount(header) : 0;
}

std::string ListView::ColumnHeader(int index) const {
  wchar_t buffer[260] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = buffer;
  column.cchTextMax = 260;
  if (!SendMessageW(hwnd_, LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column))) return {};
  return Narrow(buffer);
}

int ListView::ColumnWidth(int index) const { return ListView_GetColumnWidth(hwnd_, index); }

void ListView::SetColumnWidth(int index, int widthPixels) { ListView_SetColumnWidth(hwnd_, index, widthPixels); }

void ListView::SetItemCount(size_t count) {
  SendMessageW(hwnd_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
}

int ListView::ItemCount() const { return ListView_GetItemCount(hwnd_); }

std::string ListView::ItemText(int row, int column) const {
  std::vector<wchar_t> buffer(1024, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  SendMessageW(hwnd_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return Narrow(item.pszText ? item.pszText : L"");
}

int ListView::SelectedRow() const {
  return static_cast<int>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::SelectRow(int row) {
  ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row >= 0) ListView_SetItemState(hwnd_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void ListView::SelectAll() {
  // Wine's list view selects item by item, each asking for its repainting;
  // with drawing off, a million rows take a moment rather than seconds.
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  ListView_SetItemState(hwnd_, -1, LVIS_SELECTED, LVIS_SELECTED);
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

int ListView::SelectedCount() const { return static_cast<int>(ListView_GetSelectedCount(hwnd_)); }

std::vector<size_t> ListView::SelectedRows() const {
  std::vector<size_t> rows;
  rows.reserve(static_cast<size_t>(SelectedCount()));
  for (int row = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(hwnd_, row, LVNI_SELECTED)) {
    rows.push_back(static_cast<size_t>(row));
  }
  return rows;
}

void ListView::ShowRow(int row) { ListView_EnsureVisible(hwnd_, row, FALSE); }

void ListView::SetSortArrow(int column, bool descending) {
  HWND header = ListView_GetHeader(hwnd_);
  if (!header) return;
  int count = Header_GetItemCount(header);
  for (int i = 0; i < count; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!Header_GetItem(header, i, &item)) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == column) item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
    Header_SetItem(header, i, &item);
  }
}

void SetCueText(HWND edit, const std::string& text) {
  std::wstring wide = Widen(text);
  SendMessageW(edit, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::string CueText(HWND edit) {
  wchar_t buffer[256] = {};
  if (!SendMessageW(edit, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(buffer), 256)) return {};
  return Narrow(buffer);
}

// ---- StatusBar ----

void StatusBar::SetPanel1Width(int pixels) {
  int edges[2] = {pixels, -1};
  SendMessageW(hwnd_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
}

void StatusBar::SetText(int panel, const std::string& text) {
  std::wstring wide = Widen(text);
  SendMessageW(hwnd_, SB_SETTEXTW, static_cast<WPARAM>(panel - 1), reinterpret_cast<LPARAM>(wide.c_str()));
}

std::string StatusBar::Text(int panel) const {
  auto length = LOWORD(SendMessageW(hwnd_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel - 1), 0));
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(hwnd_, SB_GETTEXTW, static_cast<WPARAM>(panel - 1), reinterpret_cast<LPARAM>(buffer.data()));
  return Narrow(buffer.data());
}

}  // namespace tmr
