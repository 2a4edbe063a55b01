#include "readers/windows/RegistryList.h"

#include "core/TextUtil.h"

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

std::vector<std::string> TextValuesOf(const TraceSource& source, TraceRoot root, std::string_view keyPath,
                                      ValueFilter filter) {
  std::vector<std::string> values;
  try {
    auto names = source.ValueNames(root, keyPath);
    if (!names) return values;
    for (const std::string& name : *names) {
      std::string trimmed = Trim(name);
      if (trimmed.empty() || trimmed == "MRUList") continue;
      std::optional<std::string> value = source.Text(root, keyPath, name);
      if (!value || value->empty()) continue;
      switch (filter) {
        case ValueFilter::kAll: break;
        case ValueFilter::kRunCommandsWithPath:
          if (!Contains(*value, "\\")) continue;
          [[fallthrough]];
        case ValueFilter::kRunCommands:
          // A value too short to carry the "\1" is skipped on its own rather
          // than ending the key, so the values after it are still listed.
          if (!DropLastCharacters(*value, 2)) continue;
          break;
        case ValueFilter::kFullPaths:
          if (!Contains(*value, ":")) continue;
          break;
      }
      values.push_back(std::move(*value));
    }
  } catch (...) {
    // A failure ends this key's listing; what was taken so far stays.
  }
  return values;
}

void AddTextValues(RowSink& rows, const TraceSource& source, TraceRoot root, std::string_view keyPath,
                   ValueFilter filter) {
  for (const std::string& value : TextValuesOf(source, root, keyPath, filter)) rows.AddRow(value);
}

}  // namespace tmr
