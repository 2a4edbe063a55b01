#include "updater/UpdaterWindow.h"

#include <commctrl.h>

#include "core/TextUtil.h"
#include "platform/DialogLayout.h"
#include "platform/Dialogs.h"
#include "platform/Http.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "updater/SignatureCheck.h"
#include "updater/UpdaterText.h"

namespace tmr {
namespace {

constexpr UINT_PTR kSizeTimer = 1;
constexpr char kDownloadError[] =
    "Download error, you can check your Internet connection or just go to our website to download";
constexpr char kOfferSite[] = " Would you like to go to our website to download Tracemere?";
constexpr char kNotVerified[] =
    "The downloaded installer could not be verified, so it was deleted. It may have been damaged or replaced on "
    "the way. Would you like to go to our website to download Tracemere?";
constexpr char kCannotStart[] =
    "The installer could not be started. You can download Tracemere from our website instead.";

}  // namespace

UpdaterWindow::UpdaterWindow(UpdaterConfig config) : config_(std::move(config)) {
  downloader_.SetTimeoutMs(config_.timeoutMs);
  downloader_.SetMaximumBytes(config_.maxDownloadBytes);
  sizeQuery_.SetTimeoutMs(config_.timeoutMs);
  downloader_.onProgress = [this](const std::string& percent) {
    SendMessageW(Control(kProgressBar), PBM_SETPOS, static_cast<WPARAM>(std::stoi(percent)), 0);
    SetText(kPercentLabel, percent + "%");
  };
  downloader_.onComplete = [this] { OnDownloadComplete(); };
  downloader_.onError = [this](const std::string&) { OnDownloadError(); };
  downloader_.onEvent = [](const std::string&) {};
}

std::string UpdaterWindow::InstallerPath() const { return config_.folder + "\\" + FileNameFromUrl(setupUrl_); }

void UpdaterWindow::SetText(int id, const std::string& text) { SetWindowTextUtf8(Control(id), text); }

void UpdaterWindow::Enable(int id, bool enabled) { EnableWindow(Control(id), enabled ? TRUE : FALSE); }

bool UpdaterWindow::Create(int showCommand) {
  DialogLayout layout;
  HWND hwnd =
      layout.CreateFrame(L"TracemereUpdater", WindowProc, this, "Tracemere Updater", 6000, 3660, nullptr, false);
  if (!hwnd) return false;
  layout.Add(hwnd, L"STATIC", "File Name: tmeresetup.exe", SS_LEFT, kFileNameLabel, 240, 240, 5520, 300);
  layout.Add(hwnd, L"STATIC", "", SS_LEFT, kSizeLabel, 240, 540, 5520, 300);
  layout.Add(hwnd, L"STATIC", "", SS_LEFT | SS_NOPREFIX, kVersionLabel, 240, 840, 5520, 300);
  layout.Add(hwnd, PROGRESS_CLASSW, "", 0, kProgressBar, 360, 1500, 4560, 300);
  layout.Add(hwnd, L"STATIC", "", SS_LEFT, kPercentLabel, 5040, 1530, 780, 300);
  layout.Add(hwnd, L"STATIC", "", SS_LEFT, kStatusLabel, 240, 2340, 5520, 300);
  layout.Add(hwnd, L"BUTTON", "Start Download", WS_TABSTOP | BS_PUSHBUTTON, kDownloadButton, 240, 2880, 1860, 420);
  layout.Add(hwnd, L"BUTTON", "Install Tracemere", WS_TABSTOP | BS_PUSHBUTTON, kInstallButton, 2220, 2880, 1980, 420);
  layout.Add(hwnd, WC_LINK, "<a>Visit our website</a>", WS_TABSTOP, kWebsiteLink, 4380, 2950, 1500, 300);
  HWND frame = layout.Add(hwnd, L"BUTTON", "Progress", BS_GROUPBOX, kProgressFrame, 120, 1200, 5760, 900);
  SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(Control(kProgressBar), PBM_SETRANGE32, 0, 100);
  RegisterOpened();
  ShowWindow(hwnd, showCommand);
  Start();
  return true;
}

void UpdaterWindow::Start() {
  SetText(kStatusLabel, "Connecting server...");
  UpdateWindow(hwnd_);
  setupUrl_ = config_.siteAddress + "/tmeresetup.exe";
  std::optional<std::string> version = HttpGetText(config_.siteAddress + "/version.txt", config_.timeoutMs);
  if (!version) {
    SetText(kStatusLabel, "Connecting error.");
    Enable(kDownloadButton, false);
    return;
  }
  SetText(kVersionLabel, "Version: " + *version);
  // Only the reply's Content-Length is wanted from this request.
  if (sizeQuery_.Start(setupUrl_, "", "", "")) {
    sizeQueryRunning_ = true;
    SetTimer(hwnd_, kSizeTimer, 50, nullptr);
  }
  SetText(kWebsiteLink, "<a>visit our website</a>");
  Enable(kInstallButton, false);
  SetText(kStatusLabel, "");
}

void UpdaterWindow::PollSizeQuery() {
  if (sizeQuery_.Running()) return;
  KillTimer(hwnd_, kSizeTimer);
  sizeQueryRunning_ = false;
  if (sizeQuery_.HasReply()) {
    double length = ContentLengthValue(sizeQuery_.HeaderValue("Content-Length"));
    SetText(kSizeLabel, SizeText(length, UserDecimalSeparator()));
  } else {
    SetText(kStatusLabel, "Connection error,please check your Internet connection");
    Enable(kDownloadButton, false);
  }
  sizeQuery_.Cancel();
}

void UpdaterWindow::ToggleDownload() {
  if (WindowText(Control(kDownloadButton)) == "Start Download") {
    if (Trim(setupUrl_).empty()) return;
    SetText(kDownloadButton, "Cancel");
    SendMessageW(Control(kProgressBar), PBM_SETPOS, 0, 0);
    downloader_.Download(setupUrl_, InstallerPath(), "", "");
    return;
  }
  downloader_.Cancel();
  SendMessageW(Control(kProgressBar), PBM_SETPOS, 0, 0);
  UpdateWindow(Control(kProgressBar));
  Enable(kInstallButton, false);
  Enable(kFileNameLabel, true);
  SetText(kDownloadButton, "Start Download");
}

bool UpdaterWindow::InstallerVerified() {
  std::optional<std::string> signature = HttpGetText(setupUrl_ + ".sig", config_.timeoutMs);
  if (!signature) return false;
  return VerifyFileSignature(InstallerPath(), std::vector<uint8_t>(signature->begin(), signature->end()),
                             config_.publicKey);
}

void UpdaterWindow::OnDownloadComplete() {
  Enable(kFileNameLabel, true);
  SetText(kDownloadButton, "Download");
  // The installer runs with the user's rights, so it is offered only when
  // it carries the publisher's signature.
  if (InstallerVerified()) {
    Enable(kInstallButton, true);
    return;
  }
  DeleteFileW(Widen(InstallerPath()).c_str());
  if (ShowMessage(hwnd_, kNotVerified, MB_YESNO) == IDYES) ShellOpen(hwnd_, config_.siteAddress, SW_HIDE);
}

void UpdaterWindow::OnDownloadError() {
  // Every failure gets the one message, but for an endless body checking the
  // connection would be the wrong advice.
  const std::string text = downloader_.StoppedAtMaximum() ? std::string(FileDownloader::kTooLargeText) + kOfferSite
                                                          : std::string(kDownloadError);
  if (ShowMessage(hwnd_, text, MB_YESNO) == IDYES) ShellOpen(hwnd_, config_.siteAddress, SW_HIDE);
  Enable(kFileNameLabel, true);
  SetText(kDownloadButton, "Download");
  SendMessageW(Control(kProgressBar), PBM_SETPOS, 0, 0);
  downloader_.Cancel();
}

void UpdaterWindow::Install() {
  if (!IsWindowEnabled(Control(kInstallButton))) return;
  // Checked again: the file may have changed since it was downloaded.
  std::optional<std::string> signature = HttpGetText(setupUrl_ + ".sig", config_.timeoutMs);
  bool verified =
      signature && VerifyFileSignature(InstallerPath(), std::vector<uint8_t>(signature->begin(), signature->end()),
                                       config_.publicKey);
  if (!verified) {
    Enable(kInstallButton, false);
    DeleteFileW(Widen(InstallerPath()).c_str());
    if (ShowMessage(hwnd_, kNotVerified, MB_YESNO) == IDYES) ShellOpen(hwnd_, config_.siteAddress, SW_HIDE);
    return;
  }
  if (config_.endViewers) config_.endViewers();
  if (!StartProgram(config_.folder + "\\tmeresetup.exe", SW_SHOWMINIMIZED)) {
    ShowMessage(hwnd_, kCannotStart, MB_OK);
    return;
  }
  DestroyWindow(hwnd_);
}

void UpdaterWindow::OpenWebsite() { ShellOpen(hwnd_, config_.siteAddress, SW_HIDE); }

LRESULT UpdaterWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == kDownloadButton) ToggleDownload();
      if (LOWORD(wp) == kInstallButton) Install();
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (header->idFrom == kWebsiteLink && (header->code == NM_CLICK || header->code == NM_RETURN)) OpenWebsite();
      return 0;
    }
    case WM_TIMER:
      if (wp == kSizeTimer) PollSizeQuery();
      return 0;
    case WM_CLOSE:
      downloader_.Cancel();
      DestroyWindow(hwnd_);
      return 0;
    default: return Default(msg, wp, lp);
  }
}

void UpdaterWindow::OnDestroy() {
  KillTimer(hwnd_, kSizeTimer);
  sizeQuery_.Cancel();
}

}  // namespace tmr
