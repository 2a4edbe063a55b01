#include "app/OptionsDialog.h"

#include "app/SettingsFile.h"
#include "core/ProgramState.h"
#include "core/TextUtil.h"
#include "platform/DialogLayout.h"
#include "platform/Dialogs.h"
#include "platform/WinText.h"
#include "readers/browsers/BrowserProfiles.h"

namespace tmr {
namespace {

std::size_t Slot(int boxId) { return static_cast<std::size_t>(boxId - OptionsDialog::kChromeProfileBox); }

}  // namespace

bool OptionsDialog::Show(HWND owner) {
  DialogLayout layout;
  HWND hwnd = layout.CreateFrame(L"TracemereOptions", WindowProc, this, "Options", 5400, 3420, owner, false);
  if (!hwnd) return false;
  reportFolderEdit_ = layout.Add(hwnd, L"EDIT", ReportFolder, WS_TABSTOP | ES_AUTOHSCROLL, kReportFolderEdit, 240, 450,
                                 3780, 330, WS_EX_CLIENTEDGE);
  layout.Add(hwnd, L"BUTTON", "Browse", WS_TABSTOP | BS_PUSHBUTTON, kBrowseButton, 4140, 435, 1020, 360);

  const BrowserProfileChoice chosen = StoredProfileChoice(settings_);
  struct Row {
    const char* label;
    int box;
    std::vector<BrowserProfile> profiles;
    const std::string& chosen;
  };
  const Row rows[] = {
      {"Google Chrome", kChromeProfileBox, ListChromiumProfiles(ChromiumBrowser::kChrome), chosen.chrome},
      {"Microsoft Edge", kEdgeProfileBox, ListChromiumProfiles(ChromiumBrowser::kEdge), chosen.edge},
      {"Mozilla Firefox", kFirefoxProfileBox, ListFirefoxProfiles(), chosen.firefox},
  };
  int top = 1560;
  for (const Row& row : rows) {
    layout.Add(hwnd, L"STATIC", row.label, SS_LEFT, -1, 240, top + 45, 1500, 300);
    layout.Add(hwnd, L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, row.box, 1800, top, 3360, 1500);
    FillProfileBox(row.box, row.profiles, row.chosen);
    top += 420;
  }

  layout.Add(hwnd, L"BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 2880, 2940, 1140, 375);
  layout.Add(hwnd, L"BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 4140, 2940, 1140, 375);
  // Made last so they sit below the controls they frame.
  reportFolderFrame_ = layout.Add(hwnd, L"BUTTON", "Report Folder", BS_GROUPBOX, -1, 120, 90, 5160, 1050);
  HWND profilesFrame = layout.Add(hwnd, L"BUTTON", "Browser Profiles", BS_GROUPBOX, -1, 120, 1260, 5160, 1500);
  for (HWND frame : {reportFolderFrame_, profilesFrame}) {
    SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  RegisterOpened();
  ShowWindow(hwnd, SW_SHOW);
  SetFocus(reportFolderEdit_);
  return true;
}

void OptionsDialog::FillProfileBox(int id, const std::vector<BrowserProfile>& profiles, const std::string& chosen) {
  HWND box = ProfileBox(id);
  std::vector<std::string>& folders = folders_[Slot(id)];
  folders.assign(1, std::string());
  SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Automatic"));
  std::size_t selected = 0;
  for (const BrowserProfile& profile : profiles) {
    // Chromium profiles are known by their name and their folder alike.
    std::string text = profile.name == profile.folder || profile.folder.find('\\') != std::string::npos
                           ? profile.name
                           : profile.name + " (" + profile.folder + ")";
    std::wstring wide = Widen(text);
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    if (profile.folder == chosen) selected = folders.size();
    folders.push_back(profile.folder);
  }
  SendMessageW(box, CB_SETCURSEL, selected, 0);
}

std::string OptionsDialog::ChosenFolder(int id) const {
  const std::vector<std::string>& folders = folders_[Slot(id)];
  const LRESULT index = SendMessageW(ProfileBox(id), CB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<std::size_t>(index) >= folders.size()) return {};
  return folders[static_cast<std::size_t>(index)];
}

void OptionsDialog::Browse() { SetWindowTextUtf8(reportFolderEdit_, BrowseForFolder()); }

void OptionsDialog::Ok() {
  // Not checked: the folder need not exist and may be empty.
  ReportFolder = Trim(WindowText(reportFolderEdit_));
  if (settings_) {
    settings_->SaveSetting("general", "ReportFolder", ReportFolder);
    StoreProfileChoice(
        *settings_, {ChosenFolder(kChromeProfileBox), ChosenFolder(kEdgeProfileBox), ChosenFolder(kFirefoxProfileBox)});
  }
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
