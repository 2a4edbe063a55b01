// The message loop, and the pump that long sources run between records so
// the window stays live without worker threads.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tmr {

// Modeless dialogs get keyboard navigation (Tab, Enter, Esc) from the loop.
void RegisterModeless(HWND dialog);
void UnregisterModeless(HWND dialog);

// A window's shortcut keys: while a message for the window or one of its
// controls is dispatched, a key of the table becomes the window's command.
// The table stays the caller's.
void RegisterAccelerators(HWND window, HACCEL table);
void UnregisterAccelerators(HWND window);

// Top-level windows of the program; when the last one closes the loop ends.
// Off unless switched on (tests open and close windows freely).
void SetQuitWhenLastWindowCloses(bool on);
void TopLevelWindowOpened();
void TopLevelWindowClosed();

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Dispatches every pending message and returns. A WM_QUIT met here is posted
// again so the outer loop still ends; the result is false then.
bool PumpPendingMessages();

// Pumps at most once per time slice, so a reader can call it after every
// row without paying for a message round trip each time.
class TimeSlicePump {
 public:
  explicit TimeSlicePump(uint32_t sliceMs = 30);
  // Pumps when the slice has passed; returns true when it did.
  bool Tick();
  // Whether the next Tick will pump.
  bool Due() const;
  void Now();  // pumps at once

 private:
  uint32_t sliceMs_;
  uint64_t last_;
};

}  // namespace tmr
