#include "platform/DialogLayout.h"

#include <vector>

#include "core/Twips.h"
#include "platform/Controls.h"
#include "platform/WinText.h"
#include "platform/Window.h"

namespace tmr {

int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

HWND CreateChildControl(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id,
                        const RECT& pixels, DWORD exStyle) {
  HWND control = CreateWindowExW(exStyle, cls, Widen(text).c_str(), WS_CHILD | style, pixels.left, pixels.top,
                                 pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(MessageFont()), FALSE);
  return control;
}

DialogLayout::DialogLayout() : dpi_(ScreenDpi()) {}

int DialogLayout::Px(int twips) const { return TwipsToPixels(twips, dpi_); }

HWND DialogLayout::CreateFrame(const wchar_t* className, WNDPROC proc, void* self, const std::string& caption,
                               int widthTwips, int heightTwips, HWND anchor, bool owned) const {
  InitCommonControlsOnce();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClassOnce(className, proc)) return nullptr;
  // No WS_CLIPCHILDREN: a group box is transparent and relies on the
  // parent painting beneath it.
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  RECT rect{0, 0, Px(widthTwips), Px(heightTwips)};
  AdjustWindowRectEx(&rect, style, FALSE, WS_EX_DLGMODALFRAME);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  RECT area{};
  if (anchor && IsWindow(anchor)) {
    GetWindowRect(anchor, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  int left = area.left + (area.right - area.left - width) / 2;
  int top = area.top + (area.bottom - area.top - height) / 2;
  return CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, className, Widen(caption).c_str(), style, left, top,
                         width, height, owned ? anchor : nullptr, nullptr, instance, self);
}

HWND DialogLayout::Add(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int id, int left, int top,
                       int width, int height, DWORD exStyle) const {
  const RECT pixels{Px(left), Px(top), Px(left) + Px(width), Px(top) + Px(height)};
  return CreateChildControl(parent, cls, text, WS_VISIBLE | style, id, pixels, exStyle);
}

std::string WindowText(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, buffer.data(), length + 1);
  return Narrow(buffer.data());
}

void SetWindowTextUtf8(HWND hwnd, const std::string& text) { SetWindowTextW(hwnd, Widen(text).c_str()); }

LRESULT DialogBackground(HDC dc) {
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void BringForward(HWND hwnd) {
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  SetActiveWindow(hwnd);
}

}  // namespace tmr
