// Non-owning views of common controls: thin, typed wrappers over their
// messages, taking and giving UTF-8.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tmr {

// Loads the common controls once (tree, list, bar, progress, link).
void InitCommonControlsOnce();

// The font the system uses for message text; shared, never freed.
HFONT MessageFont();

class TreeView {
 public:
  explicit TreeView(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  HWND hwnd() const { return hwnd_; }

  HTREEITEM Insert(HTREEITEM parent, const std::string& text, LPARAM data);
  void Expand(HTREEITEM item);
  bool IsExpanded(HTREEITEM item) const;
  HTREEITEM Selection() const;
  void Select(HTREEITEM item);
  HTREEITEM Root() const;
  HTREEITEM Child(HTREEITEM item) const;
  HTREEITEM Next(HTREEITEM item) const;
  HTREEITEM Parent(HTREEITEM item) const;
  std::string Text(HTREEITEM item) const;
  LPARAM Data(HTREEITEM item) const;
  int Count() const;
  // The item under a point in client coordinates, or null.
  HTREEITEM HitTest(POINT client) const;
  bool ItemRect(HTREEITEM item, RECT& rect) const;
  // The item at the top of the view; scrolls the view to put one there.
  HTREEITEM FirstVisible() const;
  void SetFirstVisible(HTREEITEM item);

 private:
  HWND hwnd_;
};

class ListView {
 public:
  explicit ListView(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  HWND hwnd() const { return hwnd_; }

  void InsertColumn(int index, const std::string& header, int widthPixels);
  void DeleteAllColumns();
  int ColumnCount() const;
  std::string ColumnHeader(int index) const;
  int ColumnWidth(int index) const;
  void SetColumnWidth(int index, int widthPixels);
  void SetItemCount(size_t count);
  int ItemCount() const;
  std::string ItemText(int row, int column) const;
  int SelectedRow() const;  // -1 when none
  // Selects this row alone, focused; -1 selects none.
  void SelectRow(int row);
  void SelectAll();
  int SelectedCount() const;
  // The selected rows, in their order.
  std::vector<size_t> SelectedRows() const;
  // Scrolls the row into view.
  void ShowRow(int row);
  // Shows the sort arrow on one header (-1 clears every arrow).
  void SetSortArrow(int column, bool descending);

 private:
  HWND hwnd_;
};

// A single-line edit box's grey hint, shown while it is empty.
void SetCueText(HWND edit, const std::string& text);
std::string CueText(HWND edit);

class StatusBar {
 public:
  explicit StatusBar(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  HWND hwnd() const { return hwnd_; }

  // Two panels: the first of the given width, the second to the end.
  void SetPanel1Width(int pixels);
  void SetText(int panel, const std::string& text);  // 1-based panel
  std::string Text(int panel) const;

 private:
  HWND hwnd_;
};

}  // namespace tmr
