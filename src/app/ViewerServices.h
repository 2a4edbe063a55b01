// What the main window asks of the rest of the program: the sources behind
// the tree's keys, and the dialogs and commands its menus open. A part of
// the program that is not there leaves its entry empty, and the menu item
// then does nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "categories/Dispatch.h"

namespace tmr {

struct ViewerServices {
  std::function<void(HWND owner)> showOptions;
  std::function<void(HWND owner)> showAbout;
  std::function<void(HWND owner)> showCreateReport;
  std::function<void(HWND owner, bool autoCheck)> checkVersion;
  // The progress dialog that long sources show (see ListTarget).
  std::function<void(HWND owner, double maximum)> showProgress;
  std::function<void(double value, const std::string& label)> setProgress;
  std::function<void()> closeProgress;
  // The user's cookie folder (opened by a double-click under "a3").
  std::function<std::string()> cookieFolder;
};

// Shows the dialog in which the user picks the cache index file (a4).
void ChooseIndexFileInDialog();

class SettingsFile;

// The services of the real program; settings is where the dialogs and the
// update check store what they store (may be null).
ViewerServices MakeViewerServices(const SettingsFile* settings);

}  // namespace tmr
