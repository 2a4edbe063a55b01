// The updater's window: shows the published version and the installer's
// size, downloads the installer with progress, checks its signature, and
// on request ends the running viewer and starts the installer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Window.h"
#include "updater/FileDownloader.h"
#include "updater/InetTransfer.h"

namespace tmr {

struct UpdaterConfig {
  std::string siteAddress;         // no trailing "/"
  std::vector<uint8_t> publicKey;  // P-256 X||Y; empty trusts nothing
  std::string folder;              // where the installer is saved
  uint32_t timeoutMs = 60000;
  // The most an installer of unknown size may hold.
  int64_t maxDownloadBytes = kMaxDownloadBytes;
  // Ends every running viewer (process names containing "tracemere.exe").
  std::function<void()> endViewers;
};

class UpdaterWindow final : public ModelessWindow<UpdaterWindow> {
 public:
  enum : int {
    kFileNameLabel = 100,
    kSizeLabel,
    kPercentLabel,
    kVersionLabel,
    kStatusLabel,
    kProgressFrame,
    kProgressBar,
    kDownloadButton,
    kInstallButton,
    kWebsiteLink
  };

  explicit UpdaterWindow(UpdaterConfig config);

  // Creates and shows the window and runs its start steps.
  bool Create(int showCommand);

  // The user's actions. The download button starts a download, or cancels
  // or resets one that has begun.
  void ToggleDownload();
  void Install();
  void OpenWebsite();

  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  const std::string& SetupUrl() const { return setupUrl_; }
  FileDownloader& Downloader() { return downloader_; }
  bool SizeQueryRunning() const { return sizeQueryRunning_; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroy() override;

 private:
  void Start();
  void PollSizeQuery();
  void OnDownloadComplete();
  void OnDownloadError();
  bool InstallerVerified();
  std::string InstallerPath() const;
  void SetText(int id, const std::string& text);
  void Enable(int id, bool enabled);

  UpdaterConfig config_;
  std::string setupUrl_;
  FileDownloader downloader_;
  InetTransfer sizeQuery_;
  bool sizeQueryRunning_ = false;
};

}  // namespace tmr
