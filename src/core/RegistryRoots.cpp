#include "core/RegistryRoots.h"

#include "core/TextUtil.h"

namespace tmr {
namespace {

std::string ToUpperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

// Replaces every occurrence of `from` (ASCII letter case ignored).
std::string ReplaceIgnoreCase(const std::string& text, std::string_view from, std::string_view to) {
  std::string folded = ToLowerAscii(text);
  std::string foldedFrom = ToLowerAscii(from);
  std::string result;
  size_t start = 0;
  while (true) {
    size_t at = folded.find(foldedFrom, start);
    if (at == std::string::npos) break;
    result.append(text, start, at - start);
    result.append(to);
    start = at + from.size();
  }
  result.append(text, start, std::string::npos);
  return result;
}

}  // namespace

SplitKey SplitRootKey(std::string_view path) {
  std::string text(path);
  for (const RootName& root : kRootNames) text = ReplaceIgnoreCase(text, root.longName, root.shortName);
  size_t slash = text.find('\\');
  if (slash == std::string::npos) return {ToUpperAscii(text), ""};
  return {ToUpperAscii(text.substr(0, 4)), text.substr(slash + 1)};
}

int RootIndex(std::string_view shortName) {
  for (size_t i = 0; i < kRootNames.size(); ++i) {
    if (kRootNames[i].shortName == shortName) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tmr
