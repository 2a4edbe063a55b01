#include "app/ProgressDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "platform/DialogLayout.h"
#include "platform/MessagePump.h"

namespace tmr {

bool ProgressDialog::Show(HWND owner) {
  DialogLayout layout;
  HWND hwnd = layout.CreateFrame(L"TracemereProgress", WindowProc, this, "Analyzing...", 4920, 1380, owner, true);
  if (!hwnd) return false;
  bar_ = layout.Add(hwnd, PROGRESS_CLASSW, "", 0, kProgressBar, 240, 240, 4440, 300);
  recordsLabel_ = layout.Add(hwnd, L"STATIC", "", SS_LEFT, kRecordsLabel, 240, 780, 2880, 300);
  layout.Add(hwnd, L"BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 3480, 720, 1200, 390);
  SendMessageW(bar_, PBM_SETRANGE32, 0, 100);
  RegisterOpened();
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd);
  return true;
}

void ProgressDialog::SetMaximum(double maximum) {
  if (!hwnd_) return;
  if (!(maximum > 0)) maximum = 0;
  scale_ = maximum > 2147483647.0 ? 2147483647.0 / maximum : 1.0;
  SendMessageW(bar_, PBM_SETRANGE32, 0, static_cast<LPARAM>(std::floor(maximum * scale_)));
}

void ProgressDialog::SetValue(double value) {
  if (!hwnd_) return;
  if (!(value > 0)) value = 0;
  SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(std::floor(std::min(value * scale_, 2147483647.0))), 0);
}

void ProgressDialog::SetLabel(const std::string& text) {
  if (hwnd_) SetWindowTextUtf8(recordsLabel_, text);
}

void ProgressDialog::Close() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT ProgressDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL) {
        if (onCancel_) onCancel_();
        DestroyWindow(hwnd_);
      }
      return 0;
    case WM_CLOSE: DestroyWindow(hwnd_); return 0;
    default: return Default(msg, wp, lp);
  }
}

// However the dialog goes, the running read is asked to stop.
void ProgressDialog::OnDestroy() {
  if (onCancel_) onCancel_();
}

}  // namespace tmr
