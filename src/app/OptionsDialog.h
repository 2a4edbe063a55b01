// The options dialog: the folder reports are written to, and which profile
// of each browser the categories and the report read.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "core/BrowserProfileLists.h"
#include "platform/Window.h"

namespace tmr {

class SettingsFile;

class OptionsDialog final : public ModelessWindow<OptionsDialog> {
 public:
  enum : int {
    kReportFolderEdit = 100,
    kBrowseButton,
    kChromeProfileBox,
    kEdgeProfileBox,
    kFirefoxProfileBox,
  };  // OK and Cancel are IDOK, IDCANCEL

  // settings may be null (nothing is stored then).
  explicit OptionsDialog(const SettingsFile* settings) : settings_(settings) {}

  bool Show(HWND owner);
  HWND ReportFolderEdit() const { return reportFolderEdit_; }
  HWND ReportFolderFrame() const { return reportFolderFrame_; }
  HWND ProfileBox(int id) const { return GetDlgItem(hwnd_, id); }

  // The buttons, as their clicks run them.
  void Browse();
  void Ok();
  void Cancel();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // One browser's list: "Automatic" first, then its profiles; the folders
  // behind the entries ("" for Automatic), the stored one selected.
  void FillProfileBox(int id, const std::vector<BrowserProfile>& profiles, const std::string& chosen);
  std::string ChosenFolder(int id) const;

  const SettingsFile* settings_;
  HWND reportFolderFrame_ = nullptr;
  HWND reportFolderEdit_ = nullptr;
  std::array<std::vector<std::string>, 3> folders_;
};

}  // namespace tmr
