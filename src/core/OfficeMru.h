// The items of the Office programs' recent lists ("File MRU", "Place MRU"
// under HKCU\Software\Microsoft\Office\<version>\<program>\, values
// "Item 1", "Item 2", ...). Office 2010 and later write each as
//   [F00000000][T01D3C3B1E4F8D0B0][O00000000]*C:\Users\x\doc.docx
// bracketed fields (a letter and hex digits; T the FILETIME of the last
// use), a star, the path. Older versions wrote the path alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tmr {

struct OfficeMruItem {
  std::string path;
  uint64_t lastUsed = 0;  // FILETIME, UTC; 0 = none stored
};

// The path and time of one value's text. A text that does not start with
// well-formed fields and a star is taken as the path alone.
OfficeMruItem DecodeOfficeMruItem(std::string_view text);

}  // namespace tmr
