#include "app/IndexFileDialog.h"

#include "core/TextUtil.h"
#include "platform/DialogLayout.h"
#include "platform/FileDialogs.h"

namespace tmr {
namespace {

std::function<void(IndexFileDialog&)>& ShownHook() {
  static std::function<void(IndexFileDialog&)> hook;
  return hook;
}

}  // namespace

void IndexFileDialog::SetShownHook(std::function<void(IndexFileDialog&)> hook) { ShownHook() = std::move(hook); }

bool IndexFileDialog::Create(HWND owner) {
  DialogLayout layout;
  HWND hwnd = layout.CreateFrame(L"TracemereIndexFile", WindowProc, this, "Choose Index.dat file", 6240, 1650, owner,
                                 owner != nullptr);
  if (!hwnd) return false;
  layout.Add(hwnd, L"STATIC", "Index.dat file location", SS_LEFT, kPathLabel, 120, 120, 4000, 255);
  pathEdit_ =
      layout.Add(hwnd, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kPathEdit, 120, 420, 6000, 330, WS_EX_CLIENTEDGE);
  layout.Add(hwnd, L"BUTTON", "Browse", WS_TABSTOP | BS_PUSHBUTTON, kBrowseButton, 120, 1020, 1215, 375);
  layout.Add(hwnd, L"BUTTON", "Use Default", WS_TABSTOP | BS_PUSHBUTTON, kUseDefaultButton, 1455, 1020, 1215, 375);
  layout.Add(hwnd, L"BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 3585, 1020, 1215, 375);
  layout.Add(hwnd, L"BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 4905, 1020, 1215, 375);
  closed_ = false;
  UseDefault();
  return true;
}

std::string IndexFileDialog::ShowModal(HWND owner) {
  if (owner && !IsWindow(owner)) owner = nullptr;
  if (!Create(owner)) return {};
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetFocus(pathEdit_);
  if (ShownHook()) ShownHook()(*this);

  MSG msg;
  while (!closed_ && hwnd_) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: close as the close box does and let the
      // outer loop see the quit message.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // The owner is enabled before the dialog goes, so that it, not another
  // program, becomes the active window.
  if (disableOwner) EnableWindow(owner, TRUE);
  if (hwnd_) DestroyWindow(hwnd_);
  if (owner) SetActiveWindow(owner);
  return chosenPath_;
}

void IndexFileDialog::UseDefault() {
  chosenPath_ = DefaultIndexDatPath(source_);
  SetWindowTextUtf8(pathEdit_, chosenPath_);
}

void IndexFileDialog::Browse() {
  FileDialogRequest request;
  request.owner = hwnd_;
  request.title = "Open Index.dat File";
  request.filterDescription = "Index data file (*.dat)";
  request.filterPattern = "*.dat";
  request.initialFolder = "C:\\";
  request.flags = 0;
  request.bufferChars = 257;  // 256 for the name
  if (auto file = PickFileToOpen(request)) SetWindowTextUtf8(pathEdit_, *file);
}

void IndexFileDialog::Ok() {
  chosenPath_ = WindowText(pathEdit_);
  closed_ = true;
}

void IndexFileDialog::Cancel() {
  chosenPath_.clear();
  closed_ = true;
}

// A browsed or typed path is not taken: the default that load or "Use
// Default" set stays chosen.
void IndexFileDialog::CloseBox() { closed_ = true; }

LRESULT IndexFileDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK: Ok(); return 0;
        case IDCANCEL: Cancel(); return 0;
        case kBrowseButton: Browse(); return 0;
        case kUseDefaultButton: UseDefault(); return 0;
        default: return 0;
      }
    case WM_CLOSE: CloseBox(); return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return DialogBackground(reinterpret_cast<HDC>(wp));
    default: return Default(msg, wp, lp);
  }
}

}  // namespace tmr
