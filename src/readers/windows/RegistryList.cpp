#include "readers/windows/RegistryList.h"

#include "core/TextUtil.h"
#include "platform/Registry.h"

namespace tmr {

bool DropLastCharacters(std::string& text, size_t count) {
  size_t end = text.size();
  for (size_t dropped = 0; dropped < count; ++dropped) {
    if (end == 0) return false;
    --end;
    // Step back over continuation bytes to the start of the character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  }
  text.resize(end);
  return true;
}

void ShowRegList(ListTarget& list, HKEY root, std::string_view keyPath) {
  ShowRegListAs(list, root, keyPath, list.ListKind());
}

void ForEachRegListValue(HKEY root, std::string_view keyPath, std::string_view kind, bool runNeedsBackslash,
                         const std::function<void(std::string)>& add) {
  try {
    std::string names = ListRegValueNames(root, keyPath);
    if (names.empty() || names == kRegError) return;
    for (const std::string& piece : Split(names, ",")) {
      std::string name = Trim(piece);
      if (name.empty() || name == "MRUList") continue;
      std::string value = GetRegText(root, keyPath, piece);
      if (value.empty() || value == kRegError) continue;
      if (kind == "run") {
        if (runNeedsBackslash && !Contains(value, "\\")) continue;
        // A value too short to carry the "\1" is skipped on its own rather
        // than ending the key, so the values after it are still listed.
        if (!DropLastCharacters(value, 2)) continue;
      } else if (kind == "open") {
        if (!Contains(value, ":")) continue;
      }
      add(std::move(value));
    }
  } catch (...) {
    // A failure ends this key's listing; what was taken so far stays.
  }
}

void ShowRegListAs(ListTarget& list, HKEY root, std::string_view keyPath, std::string_view kind) {
  ForEachRegListValue(root, keyPath, kind, false, [&list](std::string value) { list.AddRow({std::move(value)}); });
}

}  // namespace tmr
