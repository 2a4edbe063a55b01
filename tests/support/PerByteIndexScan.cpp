#include "support/PerByteIndexScan.h"

namespace tmr::test {

std::vector<std::string> PerByteIndexScan(const std::string& file) {
  const size_t length = file.size();
  bool eof = length == 0;
  auto get = [&](size_t offset, size_t count) {
    std::string text(count, '\0');
    for (size_t i = 0; i < count && offset + i < length; ++i) text[i] = file[offset + i];
    if (offset + count > length) eof = true;
    return text;
  };
  std::vector<std::string> rows;
  for (size_t p = 0; !eof; ++p) {
    std::string head = get(p, 7);
    if (head.compare(0, 3, "URL") == 0) {
      std::string text = get(p + 96, 150);
      if (text.compare(0, 4, "http") != 0) text = get(p + 104, 150);
      rows.push_back(text);
    }
  }
  return rows;
}

}  // namespace tmr::test
