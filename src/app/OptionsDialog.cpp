#include "app/OptionsDialog.h"

#include "app/SettingsFile.h"
#include "core/ProgramState.h"
#include "core/TextUtil.h"
#include "platform/DialogLayout.h"
#include "platform/Dialogs.h"

namespace tmr {

bool OptionsDialog::Show(HWND owner) {
  DialogLayout layout;
  HWND hwnd = layout.CreateFrame(L"TracemereOptions", WindowProc, this, "Options", 5400, 2160, owner, false);
  if (!hwnd) return false;
  reportFolderEdit_ = layout.Add(hwnd, L"EDIT", ReportFolder, WS_TABSTOP | ES_AUTOHSCROLL, kReportFolderEdit, 240, 450,
                                 3780, 330, WS_EX_CLIENTEDGE);
  layout.Add(hwnd, L"BUTTON", "Browse", WS_TABSTOP | BS_PUSHBUTTON, kBrowseButton, 4140, 435, 1020, 360);
  layout.Add(hwnd, L"BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 2880, 1440, 1140, 375);
  layout.Add(hwnd, L"BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 4140, 1440, 1140, 375);
  // Made last so it sits below the controls it frames.
  reportFolderFrame_ = layout.Add(hwnd, L"BUTTON", "Report Folder", BS_GROUPBOX, -1, 120, 90, 5160, 1050);
  SetWindowPos(reportFolderFrame_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RegisterOpened();
  ShowWindow(hwnd, SW_SHOW);
  SetFocus(reportFolderEdit_);
  return true;
}

void OptionsDialog::Browse() { SetWindowTextUtf8(reportFolderEdit_, BrowseForFolder()); }

void OptionsDialog::Ok() {
  // Not checked: the folder need not exist and may be empty.
  ReportFolder = Trim(WindowText(reportFolderEdit_));
  if (settings_) settings_->SaveSetting("general", "ReportFolder", ReportFolder);
  DestroyWindow(hwnd_);
}

void OptionsDialog::Cancel() { DestroyWindow(hwnd_); }

LRESULT OptionsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kBrowseButton: Browse(); return 0;
        case IDOK: Ok(); return 0;
        case IDCANCEL: Cancel(); return 0;
        default: return 0;
      }
    case WM_CLOSE: Cancel(); return 0;
    default: return Default(msg, wp, lp);
  }
}

}  // namespace tmr
