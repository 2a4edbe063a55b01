// Registry root names in a path text: long ("HKEY_CURRENT_USER") and short
// ("HKCU") forms, as the binary reader takes them.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tmr {

struct RootName {
  std::string_view shortName;
  std::string_view longName;
};

// In the order in which long names are replaced by short ones.
inline constexpr std::array<RootName, 7> kRootNames{{
    {"HKCU", "HKEY_CURRENT_USER"},
    {"HKLM", "HKEY_LOCAL_MACHINE"},
    {"HKCR", "HKEY_CLASSES_ROOT"},
    {"HKUS", "HKEY_USERS"},
    {"HKPD", "HKEY_PERFORMANCE_DATA"},
    {"HKDD", "HKEY_DYN_DATA"},
    {"HKCC", "HKEY_CURRENT_CONFIG"},
}};

struct SplitKey {
  std::string rootName;  // upper-cased; one of the short names when valid
  std::string subKey;
};

// Replaces a long root name at the start by its short one (letter case
// ignored); then the root is the first four characters when the text holds
// a "\" (the subkey is what follows the first "\"), else the whole text.
SplitKey SplitRootKey(std::string_view path);

// Position of a short root name in kRootNames, or -1.
int RootIndex(std::string_view shortName);

}  // namespace tmr
