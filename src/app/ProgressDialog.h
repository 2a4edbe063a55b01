// The progress dialog of long sources. Its Cancel button, its close box and
// the caller's own closing all set CancelRequested.
#pragma once

#include <windows.h>

#include <string>

#include "platform/Window.h"

namespace tmr {

class ProgressDialog final : public BaseWindow<ProgressDialog> {
 public:
  enum : int { kPBar1 = 100, kLabel1 };  // Command1 (Cancel) is IDCANCEL

  bool Show(HWND owner);
  void SetMaximum(double maximum);
  void SetValue(double value);
  void SetLabel(const std::string& text);
  void Close();

  HWND PBar1() const { return pbar1_; }
  HWND Label1() const { return label1_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnFinalDestroy() override;

 private:
  friend class BaseWindow<ProgressDialog>;
  HWND pbar1_ = nullptr;
  HWND label1_ = nullptr;
  double scale_ = 1.0;  // bar units per caller unit, for maxima beyond 32 bits
};

}  // namespace tmr
