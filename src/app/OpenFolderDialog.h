// "Open Traces Folder": the folder another PC's traces are read from (a
// Windows volume's root or one user's profile, typed or picked) and, on a
// volume with several users, whose traces. Modal, like the index file
// dialog. The command line opens a folder by the same rules.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Window.h"
#include "readers/FolderTraceSource.h"

namespace tmr {

class SettingsFile;

// The user read from a volume: the one last chosen for it when it still has
// that user, else the first that is not the template profile "Default".
std::string PreferredUser(const TraceFolderLayout& layout, const SettingsFile* settings);

// The source of a folder and user; null, with the reason in failure, when
// the folder holds no traces.
std::shared_ptr<const TraceSource> OpenTraceFolder(const TraceFolderLayout& layout, std::string_view user,
                                                   std::string* failure);

// The same for a folder alone (the command line), with the preferred user.
std::shared_ptr<const TraceSource> OpenTraceFolder(std::string_view folder, const SettingsFile* settings,
                                                   std::string* failure);

class OpenFolderDialog final : public BaseWindow<OpenFolderDialog> {
 public:
  // OK and Cancel are IDOK and IDCANCEL.
  enum : int { kFolderEdit = 100, kFolderLabel, kBrowseButton, kUserLabel, kUserBox, kStatusLabel };

  // settings: where the user chosen per folder is kept (may be null).
  explicit OpenFolderDialog(const SettingsFile* settings) : settings_(settings) {}

  // Shows the dialog over owner and returns, once it has closed, the source
  // chosen; null when cancelled.
  std::shared_ptr<const TraceSource> ShowModal(HWND owner);
  // Creates the dialog without waiting (tests drive it through this).
  bool Create(HWND owner);

  // The buttons, as their clicks run them.
  void Browse();
  void Ok();
  void Cancel();
  // Reads the folder typed so far and offers its users.
  void DescribeFolder();

  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  bool Closed() const { return closed_; }
  const std::shared_ptr<const TraceSource>& Chosen() const { return chosen_; }

  // Runs inside ShowModal once the dialog is on screen (tests answer it).
  static void SetShownHook(std::function<void(OpenFolderDialog&)> hook);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  friend class BaseWindow<OpenFolderDialog>;
  std::string SelectedUser() const;

  const SettingsFile* settings_;
  std::string describedText_;  // the folder text layout_ was read from
  TraceFolderLayout layout_;
  std::shared_ptr<const TraceSource> chosen_;
  bool closed_ = false;
};

}  // namespace tmr
