// What the main window asks of the rest of the program: the dialogs and
// commands its menus open, and the dialogs its categories need. A part of
// the program that is not there leaves its entry empty, and the menu item
// then does nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "readers/RowSink.h"

namespace tmr {

class SettingsFile;

struct ViewerServices {
  // Where the window keeps its layout and "Times in UTC" (none: nothing is
  // kept).
  const SettingsFile* settings = nullptr;
  std::function<void(HWND owner)> showOptions;
  std::function<void(HWND owner)> showAbout;
  // The report of the source the window reads (null: this PC).
  std::function<void(HWND owner, std::shared_ptr<const TraceSource> source)> showCreateReport;
  // Asks for a folder of another PC's traces; null when cancelled.
  std::function<std::shared_ptr<const TraceSource>(HWND owner)> openTracesFolder;
  std::function<void(HWND owner, bool autoCheck)> checkVersion;
  // The progress dialog that long reads show (see ReadProgress); onCancel
  // runs when it is cancelled or closed.
  std::function<void(HWND owner, double maximum, std::function<void()> onCancel)> showProgress;
  std::function<void(double value, const std::string& label)> setProgress;
  std::function<void()> closeProgress;
  // The user's cookie folder (opened by a double-click on a cookie).
  std::function<std::string(const TraceSource& source)> cookieFolder;
  // Asks which cache index file of the source to scan; "" scans nothing.
  std::function<std::string(HWND owner, const TraceSource& source)> chooseIndexFile;
  // The browser profiles chosen in the options, read afresh for each read.
  std::function<BrowserProfileChoice()> browserProfiles;
};

// The services of the real program; settings is where the dialogs and the
// update check store what they store (may be null).
ViewerServices MakeViewerServices(const SettingsFile* settings);

}  // namespace tmr
