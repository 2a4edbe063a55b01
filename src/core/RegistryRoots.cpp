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

// The path with a long root name at its start in short form (ASCII letter
// case ignored). Only the root is a root: a subkey may be called
// "HKEY_USERS" and must keep its name.
std::string ShortenRoot(std::string_view path) {
  const std::string folded = ToLowerAscii(path.substr(0, 32));
  for (const RootName& root : kRootNames) {
    if (folded.starts_with(ToLowerAscii(root.longName))) {
      return std::string(root.shortName) + std::string(path.substr(root.longName.size()));
    }
  }
  return std::string(path);
}

}  // namespace

SplitKey SplitRootKey(std::string_view path) {
  std::string text = ShortenRoot(path);
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
