#include "platform/SystemStrayBytes.h"

#include <windows.h>

namespace tmr {

const StrayByteTable& SystemStrayBytes() {
  static const StrayByteTable table = [] {
    StrayByteTable t{};
    for (std::size_t i = 0; i < t.size(); ++i) {
      char byte = static_cast<char>(0x80 + i);
      wchar_t wide = 0;
      // A lead byte of a double-byte code page on its own maps to the code
      // page's default character, or to nothing; "?" then.
      int n = MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1);
      t[i] = (n == 1 && wide && (wide < 0xD800 || wide > 0xDFFF)) ? static_cast<char32_t>(wide) : U'?';
    }
    return t;
  }();
  return table;
}

}  // namespace tmr
