// The clipboard, for text.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tmr {

// Replaces what the clipboard holds by the text, as Unicode text; false
// when the clipboard could not be had (another program holding it open
// for half a second) or the memory not allocated.
bool SetClipboardText(HWND owner, std::string_view utf8);

// The clipboard's Unicode text; nullopt when it holds none.
std::optional<std::string> ClipboardText(HWND owner);

}  // namespace tmr
