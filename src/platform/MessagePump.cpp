#include "platform/MessagePump.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tmr {
namespace {

std::vector<HWND>& ModelessDialogs() {
  static std::vector<HWND> dialogs;
  return dialogs;
}

std::vector<std::pair<HWND, HACCEL>>& AcceleratorTables() {
  static std::vector<std::pair<HWND, HACCEL>> tables;
  return tables;
}

bool g_quitWhenLastCloses = false;
int g_topLevelCount = 0;

bool DispatchOne(MSG& msg) {
  for (auto [window, table] : AcceleratorTables()) {
    if ((msg.hwnd == window || IsChild(window, msg.hwnd)) && TranslateAcceleratorW(window, table, &msg)) return true;
  }
  for (HWND dialog : ModelessDialogs()) {
    if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) return true;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

}  // namespace

void RegisterModeless(HWND dialog) {
  auto& dialogs = ModelessDialogs();
  if (std::find(dialogs.begin(), dialogs.end(), dialog) == dialogs.end()) dialogs.push_back(dialog);
}

void UnregisterModeless(HWND dialog) {
  auto& dialogs = ModelessDialogs();
  dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

void RegisterAccelerators(HWND window, HACCEL table) {
  UnregisterAccelerators(window);
  AcceleratorTables().emplace_back(window, table);
}

void UnregisterAccelerators(HWND window) {
  auto& tables = AcceleratorTables();
  std::erase_if(tables, [window](const auto& entry) { return entry.first == window; });
}

void SetQuitWhenLastWindowCloses(bool on) { g_quitWhenLastCloses = on; }

void TopLevelWindowOpened() { ++g_topLevelCount; }

void TopLevelWindowClosed() {
  if (g_topLevelCount > 0) --g_topLevelCount;
  if (g_topLevelCount == 0 && g_quitWhenLastCloses) PostQuitMessage(0);
}

int RunMessageLoop() {
  MSG msg;
  while (true) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return -1;
    DispatchOne(msg);
  }
}

bool PumpPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    DispatchOne(msg);
  }
  return true;
}

TimeSlicePump::TimeSlicePump(uint32_t sliceMs) : sliceMs_(sliceMs), last_(GetTickCount64()) {}

bool TimeSlicePump::Tick() {
  uint64_t now = GetTickCount64();
  if (now - last_ < sliceMs_) return false;
  PumpPendingMessages();
  last_ = GetTickCount64();
  return true;
}

bool TimeSlicePump::Due() const { return GetTickCount64() - last_ >= sliceMs_; }

void TimeSlicePump::Now() {
  PumpPendingMessages();
  last_ = GetTickCount64();
}

}  // namespace tmr
