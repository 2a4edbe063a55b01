#include "core/OfficeMru.h"

namespace tmr {
namespace {

constexpr std::size_t kMaxHexDigits = 16;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

OfficeMruItem DecodeOfficeMruItem(std::string_view text) {
  uint64_t time = 0;
  std::size_t at = 0;
  bool sawField = false;
  while (at < text.size() && text[at] == '[') {
    if (at + 1 >= text.size() || !IsLetter(text[at + 1])) return {std::string(text), 0};
    const char letter = text[at + 1];
    uint64_t value = 0;
    std::size_t digits = 0;
    at += 2;
    for (; at < text.size() && HexDigit(text[at]) >= 0; ++at, ++digits) {
      value = value << 4 | static_cast<uint64_t>(HexDigit(text[at]));
    }
    if (digits == 0 || digits > kMaxHexDigits || at >= text.size() || text[at] != ']') {
      return {std::string(text), 0};
    }
    ++at;
    if (letter == 'T' || letter == 't') time = value;
    sawField = true;
  }
  if (!sawField || at >= text.size() || text[at] != '*') return {std::string(text), 0};
  return {std::string(text.substr(at + 1)), time};
}

}  // namespace tmr
