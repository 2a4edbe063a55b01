// Shared building blocks of the small dialogs: a top-level window sized in
// twips, centred over its owner, and child controls placed in twips. The
// dialogs are modeless; the message loop gives them Tab, Enter and Esc.
#pragma once

#include <windows.h>

#include <string>

namespace tmr {

// The screen's resolution in dots per inch (96 when it cannot be read).
int ScreenDpi();

// A child control with the message font; WS_CHILD is added to the style.
HWND CreateChildControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id,
                        const RECT& pixels, DWORD exStyle = 0);

class DialogLayout {
 public:
  DialogLayout();
  int Px(int twips) const;

  // Registers the class once and creates the window (hidden), centred over
  // the anchor window or the screen; its inner size is given in twips. An
  // owned window stays above its owner and goes with it; the others are
  // separate top-level windows that outlive the main window.
  HWND CreateFrame(const wchar_t* className, WNDPROC proc, void* self, const std::string& caption, int widthTwips,
                   int heightTwips, HWND anchor, bool owned) const;

  // A child control at a place given in twips, with the message font.
  HWND Add(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, int left, int top, int width,
           int height, DWORD exStyle = 0) const;

 private:
  int dpi_;
};

// The text of a window, as UTF-8.
std::string WindowText(HWND hwnd);
void SetWindowTextUtf8(HWND hwnd, const std::string& text);

// The dialog face colour for labels and frames (WM_CTLCOLORSTATIC/BTN).
LRESULT DialogBackground(HDC dc);

// Brings an existing top-level window to the front (restoring it).
void BringForward(HWND hwnd);

}  // namespace tmr
