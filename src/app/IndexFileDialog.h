// The dialog in which the user confirms or picks the cache index file to
// scan ("Choose Index.dat file"). It is modal: the owner is disabled while it
// is open. Its result is IndexDatPath.
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
  enum : int { kText1 = 100, kLabel1, kCommand3, kCommand4 };

  // Shows the dialog over owner (may be null) and returns once it has
  // closed, with IndexDatPath set.
  void ShowModal(HWND owner);

  // Creates the dialog and runs its load, without waiting; ShowModal uses it
  // and tests drive the dialog through it.
  bool Create(HWND owner);

  // The buttons and the close box, as their clicks run them.
  void Ok();          // Command1
  void Cancel();      // Command2
  void Browse();      // Command3
  void UseDefault();  // Command4
  void CloseBox();

  HWND Text1() const { return text1_; }
  bool Closed() const { return closed_; }

  // Runs inside ShowModal once the dialog is on screen (tests answer it).
  static void SetShownHook(std::function<void(IndexFileDialog&)> hook);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  friend class BaseWindow<IndexFileDialog>;
  HWND text1_ = nullptr;
  bool closed_ = false;
};

}  // namespace tmr
