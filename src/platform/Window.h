// Base classes for windows: a static procedure finds the C++ object
// (WM_NCCREATE -> GWLP_USERDATA) and forwards to HandleMessage. No exception
// leaves a window procedure.
#pragma once

#include <windows.h>

#include "platform/DialogLayout.h"
#include "platform/MessagePump.h"

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

// The program's modeless top-level windows. Labels and frames are painted
// on the dialog face, the message loop gives Tab, Enter and Esc while the
// window is open, and the window counts among the open top-level windows
// whose last closing may end the program. The shared messages are handled
// here so a derived window cannot forget to leave the loop's lists: it
// handles its own messages in OnMessage and does its extra closing work in
// OnDestroy and OnDestroyed.
template <typename Derived>
class ModelessWindow : public BaseWindow<Derived> {
 protected:
  using BaseWindow<Derived>::hwnd_;

  // Call once the window and its controls exist, before it is shown.
  void RegisterOpened() {
    RegisterModeless(hwnd_);
    TopLevelWindowOpened();
    registered_ = true;
  }

  // The derived window's own messages, as HandleMessage would get them.
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
  // WM_DESTROY: the controls still exist; the loop still knows the window.
  virtual void OnDestroy() {}
  // After WM_NCDESTROY: window and controls are gone, so resources they
  // used (fonts, icons) may be freed; runs before the window leaves the count.
  virtual void OnDestroyed() {}

 private:
  friend class BaseWindow<Derived>;

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) final {
    switch (msg) {
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN: return DialogBackground(reinterpret_cast<HDC>(wp));
      case WM_DESTROY:
        OnDestroy();
        UnregisterModeless(hwnd_);
        return 0;
      default: return OnMessage(msg, wp, lp);
    }
  }

  void OnFinalDestroy() final {
    OnDestroyed();
    // A window whose creation failed half-way never joined the count.
    if (registered_) TopLevelWindowClosed();
    registered_ = false;
  }

  bool registered_ = false;
};

}  // namespace tmr
