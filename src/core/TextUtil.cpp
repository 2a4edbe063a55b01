#include "core/TextUtil.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstdio>

namespace tmr {

std::string Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

std::vector<std::string> Split(std::string_view text, std::string_view sep) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (sep.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  size_t start = 0;
  while (true) {
    size_t at = text.find(sep, start);
    if (at == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, at - start));
    start = at + sep.size();
  }
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  size_t start = 0;
  while (true) {
    size_t at = text.find(from, start);
    if (at == std::string_view::npos) break;
    result.append(text.substr(start, at - start));
    result.append(to);
    start = at + from.size();
  }
  result.append(text.substr(start));
  return result;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string ToLowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

bool ContainsIgnoreCase(std::string_view text, std::string_view part) {
  return Contains(ToLowerAscii(text), ToLowerAscii(part));
}

std::string NumberText(double value, int digits, std::string_view decimalSeparator) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
  std::string text;
  for (const char* p = buffer; *p; ++p) {
    if (*p == '.') {
      text += decimalSeparator;
    } else {
      text += *p;
    }
  }
  return text;
}

std::string CutAtNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

bool WidenAscii(std::string_view text, char* out) {
  const char* p = text.data();
  const char* end = p + text.size();
#if defined(__SSE2__)
  // Sixteen characters a step: their high bits say whether any is not
  // ASCII, and interleaving them with zero bytes gives their UTF-16 units.
  const __m128i zero = _mm_setzero_si128();
  for (; end - p >= 16; p += 16, out += 32) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if (_mm_movemask_epi8(bytes)) return false;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi8(bytes, zero));
  }
#endif
  for (; p < end; ++p) {
    if (static_cast<unsigned char>(*p) >= 0x80) return false;
    *out++ = *p;
    *out++ = '\0';
  }
  return true;
}

}  // namespace tmr
