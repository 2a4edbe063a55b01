#include "platform/Clipboard.h"

#include <cstring>

#include "platform/WinText.h"

namespace tmr {
namespace {

// Another program may hold the clipboard open for a moment; it is asked
// again a few times before giving up.
bool OpenClipboardPatiently(HWND owner) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(50);
  }
  return false;
}

}  // namespace

bool SetClipboardText(HWND owner, std::string_view utf8) {
  const std::wstring text = Widen(utf8);
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  void* target = GlobalLock(memory);
  if (!target) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(target, text.c_str(), bytes);
  GlobalUnlock(memory);
  if (!OpenClipboardPatiently(owner)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  // Once set, the memory belongs to the clipboard.
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!set) GlobalFree(memory);
  return set;
}

std::optional<std::string> ClipboardText(HWND owner) {
  if (!OpenClipboardPatiently(owner)) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      const SIZE_T chars = GlobalSize(data) / sizeof(wchar_t);
      text = Narrow(std::wstring_view(wide, wcsnlen(wide, chars)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace tmr
