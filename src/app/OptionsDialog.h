// The options dialog: the folder reports are written to.
#pragma once

#include <windows.h>

#include "platform/Window.h"

namespace tmr {

class SettingsFile;

class OptionsDialog final : public ModelessWindow<OptionsDialog> {
 public:
  enum : int { kReportFolderEdit = 100, kBrowseButton };  // OK and Cancel are IDOK, IDCANCEL

  // settings may be null (nothing is stored then).
  explicit OptionsDialog(const SettingsFile* settings) : settings_(settings) {}

  bool Show(HWND owner);
  HWND ReportFolderEdit() const { return reportFolderEdit_; }
  HWND ReportFolderFrame() const { return reportFolderFrame_; }

  // The buttons, as their clicks run them.
  void Browse();
  void Ok();
  void Cancel();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  const SettingsFile* settings_;
  HWND reportFolderFrame_ = nullptr;
  HWND reportFolderEdit_ = nullptr;
};

}  // namespace tmr
