#include "app/AboutDialog.h"

#include <commctrl.h>

#include "app/UpdateCheck.h"
#include "core/ProgramState.h"
#include "platform/Controls.h"
#include "platform/DialogLayout.h"
#include "platform/Locale.h"
#include "platform/Shell.h"

namespace tmr {
namespace {

constexpr char kPromotion[] = "<a>Erase the history Tracemere shows you with Tracemere Sweep</a>";

}  // namespace

bool AboutDialog::Show(HWND owner) {
  DialogLayout layout;
  HWND hwnd = layout.CreateFrame(L"TracemereAbout", WindowProc, this, "About Us", 5640, 3300, owner, false);
  if (!hwnd) return false;
  HWND image = layout.Add(hwnd, L"STATIC", "", SS_ICON, kIcon, 240, 240, 720, 720);
  // Loaded at this size for this dialog, and destroyed with it.
  icon_ = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, layout.Px(720), layout.Px(720), 0));
  SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(icon_ ? icon_ : LoadIconW(nullptr, IDI_APPLICATION)), 0);

  HWND heading = layout.Add(hwnd, L"STATIC", "About Tracemere (tm)", SS_LEFT, kHeading, 1200, 240, 4200, 360);
  LOGFONTW font{};
  GetObjectW(MessageFont(), sizeof(font), &font);
  font.lfWeight = FW_BOLD;
  font.lfHeight = font.lfHeight * 5 / 4;
  headingFont_ = CreateFontIndirectW(&font);
  SendMessageW(heading, WM_SETFONT, reinterpret_cast<WPARAM>(headingFont_), FALSE);

  versionLabel_ = layout.Add(hwnd, L"STATIC", AboutVersionLine(AppVersion, UserDecimalSeparator()), SS_LEFT,
                             kVersionLabel, 1200, 660, 4200, 300);
  layout.Add(hwnd, WC_LINK, kPromotion, WS_TABSTOP, kMakerLink, 1200, 1080, 4200, 600);
  layout.Add(hwnd, WC_LINK, "<a>Online Support</a>", WS_TABSTOP, kSupportLink, 1200, 1800, 4200, 300);
  layout.Add(hwnd, L"BUTTON", "Check for new version", WS_TABSTOP | BS_PUSHBUTTON, kCheckVersionButton, 240, 2640, 2700,
             420);
  layout.Add(hwnd, L"BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 4080, 2640, 1320, 420);
  RegisterOpened();
  ShowWindow(hwnd, SW_SHOW);
  return true;
}

void AboutDialog::OpenMakerPage() { ShellOpen(hwnd_, MakerPageAddress, SW_HIDE); }

void AboutDialog::OpenSupportPage() { ShellOpen(hwnd_, SiteAddress + "/support.htm", SW_HIDE); }

void AboutDialog::CheckForNewVersion() {
  if (checkVersion_) checkVersion_(hwnd_);
  // The dialog closes once the check, with its messages, is over.
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT AboutDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kCheckVersionButton: CheckForNewVersion(); return 0;
        case IDOK:
        case IDCANCEL: DestroyWindow(hwnd_); return 0;
        default: return 0;
      }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (header->code == NM_CLICK || header->code == NM_RETURN) {
        if (header->idFrom == kMakerLink) OpenMakerPage();
        if (header->idFrom == kSupportLink) OpenSupportPage();
      }
      return 0;
    }
    case WM_CLOSE: DestroyWindow(hwnd_); return 0;
    default: return Default(msg, wp, lp);
  }
}

void AboutDialog::OnDestroyed() {
  if (headingFont_) DeleteObject(headingFont_);
  headingFont_ = nullptr;
  if (icon_) DestroyIcon(icon_);
  icon_ = nullptr;
}

}  // namespace tmr
