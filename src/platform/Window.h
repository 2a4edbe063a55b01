// Base classes for windows and dialogs: a static procedure finds the C++
// object (WM_NCCREATE -> GWLP_USERDATA, WM_INITDIALOG -> DWLP_USER) and
// forwards to HandleMessage. No exception leaves a window procedure.
#pragma once

#include <windows.h>

namespace tmr {

// Records an exception that reached a window procedure (debugger output
// only; the program goes on).
void ReportUnexpectedException(const char* where) noexcept;

// Registers a window class of this module once (icon 1 of the program,
// arrow cursor, dialog face background); true when it exists afterwards.
bool RegisterWindowClassOnce(const wchar_t* className, WNDPROC proc);

template <typename Derived>
class BaseWindow {
 public:
  BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;
  virtual ~BaseWindow() {
    if (hwnd_) {
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      DestroyWindow(hwnd_);
    }
  }

  HWND hwnd() const { return hwnd_; }

 protected:
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
  // Called after the window is gone (WM_NCDESTROY); the object still lives.
  virtual void OnFinalDestroy() {}

  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Derived* self = nullptr;
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      self = static_cast<Derived*>(cs->lpCreateParams);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    try {
      result = self->HandleMessage(msg, wp, lp);
    } catch (...) {
      ReportUnexpectedException("window procedure");
      result = DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      try {
        self->OnFinalDestroy();
      } catch (...) {
        ReportUnexpectedException("OnFinalDestroy");
      }
    }
    return result;
  }

  HWND hwnd_ = nullptr;
};

template <typename Derived>
class BaseDialog {
 public:
  BaseDialog() = default;
  BaseDialog(const BaseDialog&) = delete;
  BaseDialog& operator=(const BaseDialog&) = delete;
  virtual ~BaseDialog() {
    if (hwnd_) {
      SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
      DestroyWindow(hwnd_);
    }
  }

  HWND hwnd() const { return hwnd_; }

 protected:
  // Returns TRUE when the message was handled, as a dialog procedure does.
  virtual INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
  virtual void OnFinalDestroy() {}

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Derived* self = nullptr;
    if (msg == WM_INITDIALOG) {
      self = reinterpret_cast<Derived*>(lp);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    INT_PTR result = FALSE;
    try {
      result = self->HandleMessage(msg, wp, lp);
    } catch (...) {
      ReportUnexpectedException("dialog procedure");
      result = FALSE;
    }
    if (msg == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, DWLP_USER, 0);
      self->hwnd_ = nullptr;
      try {
        self->OnFinalDestroy();
      } catch (...) {
        ReportUnexpectedException("OnFinalDestroy");
      }
    }
    return result;
  }

  HWND hwnd_ = nullptr;
};

}  // namespace tmr
