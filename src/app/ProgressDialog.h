// The progress dialog of long reads. Its Cancel button, its close box and
// the caller's own closing all ask the read to stop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/Window.h"

namespace tmr {

class ProgressDialog final : public ModelessWindow<ProgressDialog> {
 public:
  enum : int { kProgressBar = 100, kRecordsLabel };  // Cancel is IDCANCEL

  // onCancel runs however the dialog goes.
  explicit ProgressDialog(std::function<void()> onCancel) : onCancel_(std::move(onCancel)) {}

  bool Show(HWND owner);
  void SetMaximum(double maximum);
  void SetValue(double value);
  void SetLabel(const std::string& text);
  void Close();

  HWND Bar() const { return bar_; }
  HWND RecordsLabel() const { return recordsLabel_; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroy() override;

 private:
  std::function<void()> onCancel_;
  HWND bar_ = nullptr;
  HWND recordsLabel_ = nullptr;
  double scale_ = 1.0;  // bar units per caller unit, for maxima beyond 32 bits
};

}  // namespace tmr
