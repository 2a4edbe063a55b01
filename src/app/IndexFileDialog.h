// The dialog in which the user confirms or picks the cache index file to
// scan ("Choose Index.dat file"). It is modal: the owner is disabled while it
// is open. Its result is the chosen path.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/Window.h"
#include "readers/ie/IeReaders.h"

namespace tmr {

class IndexFileDialog final : public BaseWindow<IndexFileDialog> {
 public:
  // OK and Cancel are IDOK and IDCANCEL, so Enter and Esc press them.
  enum : int { kPathEdit = 100, kPathLabel, kBrowseButton, kUseDefaultButton };

  // The default file offered is the source's.
  explicit IndexFileDialog(const TraceSource& source = LiveTraceSource()) : source_(source) {}

  // Shows the dialog over owner (may be null) and returns, once it has
  // closed, the file to scan; "" means that nothing is scanned.
  std::string ShowModal(HWND owner);

  // Creates the dialog and runs its load, without waiting; ShowModal uses it
  // and tests drive the dialog through it.
  bool Create(HWND owner);

  // The buttons and the close box, as their clicks run them.
  void Ok();
  void Cancel();
  void Browse();
  void UseDefault();
  void CloseBox();

  HWND PathEdit() const { return pathEdit_; }
  bool Closed() const { return closed_; }
  const std::string& ChosenPath() const { return chosenPath_; }

  // Runs inside ShowModal once the dialog is on screen (tests answer it).
  static void SetShownHook(std::function<void(IndexFileDialog&)> hook);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  friend class BaseWindow<IndexFileDialog>;
  const TraceSource& source_;
  HWND pathEdit_ = nullptr;
  std::string chosenPath_;
  bool closed_ = false;
};

}  // namespace tmr
