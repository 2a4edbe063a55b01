// The about dialog: version line, links to the maker's and support pages,
// and the on-demand update check.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/Window.h"

namespace tmr {

class AboutDialog final : public ModelessWindow<AboutDialog> {
 public:
  enum : int { kVersionLabel = 100, kHeading, kMakerLink, kSupportLink, kCheckVersionButton, kIcon };  // OK is IDOK

  // checkVersion runs the main window's check with AutoCheck false.
  explicit AboutDialog(std::function<void(HWND owner)> checkVersion) : checkVersion_(std::move(checkVersion)) {}

  bool Show(HWND owner);
  HWND VersionLabel() const { return versionLabel_; }

  void OpenMakerPage();
  void OpenSupportPage();
  void CheckForNewVersion();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroyed() override;

 private:
  std::function<void(HWND owner)> checkVersion_;
  HWND versionLabel_ = nullptr;
  HFONT headingFont_ = nullptr;
  HICON icon_ = nullptr;
};

}  // namespace tmr
