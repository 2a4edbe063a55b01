#include "core/Utf8Text.h"

#include <cstdint>
#include <cstring>

namespace tmr {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t v) { return v >= 0xD800 && v <= 0xDBFF; }
bool IsLowSurrogate(char32_t v) { return v >= 0xDC00 && v <= 0xDFFF; }

int SequenceLength(uint8_t lead) {
  if (lead >= 0xFC) return 6;
  if (lead >= 0xF8) return 5;
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Collects decoded UTF-16 values and writes them as UTF-8, joining a high
// and a low surrogate that arrive one after the other (as CESU-style data
// holds them) into the character they stand for.
class Utf16Sink {
 public:
  explicit Utf16Sink(std::string& out) : out_(out) {}

  void Put(char32_t v) {
    if (pendingHigh_) {
      char32_t high = pendingHigh_;
      pendingHigh_ = 0;
      if (IsLowSurrogate(v)) {
        AppendUtf8(out_, 0x10000 + ((high - 0xD800) << 10) + (v - 0xDC00));
        return;
      }
      AppendUtf8(out_, kReplacement);
    }
    if (IsHighSurrogate(v)) {
      pendingHigh_ = v;
    } else if (IsLowSurrogate(v) || v > 0x10FFFF) {
      AppendUtf8(out_, kReplacement);
    } else {
      AppendUtf8(out_, v);
    }
  }
  void PutAscii(const char* p, std::size_t n) {
    Flush();
    out_.append(p, n);
  }
  void Flush() {
    if (pendingHigh_) AppendUtf8(out_, kReplacement);
    pendingHigh_ = 0;
  }

 private:
  std::string& out_;
  char32_t pendingHigh_ = 0;
};

}  // namespace

const StrayByteTable& Latin1StrayBytes() {
  static const StrayByteTable table = [] {
    StrayByteTable t{};
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<char32_t>(0x80 + i);
    return t;
  }();
  return table;
}

void AppendUtf8(std::string& out, char32_t v) {
  if (v < 0x80) {
    out.push_back(static_cast<char>(v));
  } else if (v < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (v >> 6)));
    out.push_back(static_cast<char>(0x80 | (v & 0x3F)));
  } else if (v < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (v >> 12)));
    out.push_back(static_cast<char>(0x80 | ((v >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (v & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (v >> 18)));
    out.push_back(static_cast<char>(0x80 | ((v >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((v >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (v & 0x3F)));
  }
}

std::size_t DecodeStrictUtf8(std::string_view text, std::size_t at, char32_t& codePoint) {
  if (at >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0u) != 0x80u) return 0;
    value = (value << 6) | (next & 0x3Fu);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  codePoint = value;
  return length;
}

std::string Utf8Decode(std::string_view bytes, const StrayByteTable& stray) {
  std::string out;
  Utf8DecodeAppend(out, bytes, stray);
  return out;
}

void Utf8DecodeAppend(std::string& out, std::string_view bytes, const StrayByteTable& stray) {
  static constexpr uint8_t kMasks[7] = {0, 0, 0x1F, 0x0F, 0x07, 0x03, 0x01};
  out.reserve(out.size() + bytes.size());
  Utf16Sink sink(out);
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  std::size_t pos = 0;
  while (pos < size) {
    if (p[pos] < 0x80) {
      // Most cells are plain ASCII: look for the run's end eight bytes at
      // a time.
      std::size_t end = pos + 1;
      for (uint64_t word; end + 8 <= size; end += 8) {
        std::memcpy(&word, p + end, 8);
        if (word & 0x8080808080808080ull) break;
      }
      while (end < size && p[end] < 0x80) ++end;
      sink.PutAscii(bytes.data() + pos, end - pos);
      pos = end;
      continue;
    }
    const uint8_t lead = p[pos];
    const int n = SequenceLength(lead);
    if (n == 1) {
      char32_t c = stray[lead - 0x80];
      sink.Put(c ? c : U'?');
      ++pos;
      continue;
    }
    if (static_cast<std::size_t>(n) > size - pos) {
      sink.Flush();
      out.push_back('?');
      break;
    }
    // Values of up to 31 bits (six bytes); continuation bytes are taken as
    // they are, whatever their top bits hold.
    uint32_t value = lead & kMasks[n];
    for (int i = 1; i < n; ++i) value = (value << 6) | (p[pos + i] & 0x3F);
    sink.Put(value);
    pos += static_cast<std::size_t>(n);
  }
  sink.Flush();
}

std::string Utf8PtrToString(const char* address, std::size_t maxBytes, const StrayByteTable& stray) {
  if (!address) return {};
  const void* nul = std::memchr(address, 0, maxBytes);
  std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - address) : maxBytes;
  return Utf8Decode(std::string_view(address, length), stray);
}

std::string_view Utf8PtrToView(const char* address, std::size_t maxBytes, std::string& scratch,
                               const StrayByteTable& stray) {
  if (!address) return {};
  // One pass finds the end (a zero byte) and whether any byte needs
  // decoding, eight bytes at a time: a word without a zero byte and
  // without a high bit is taken as it stands.
  const auto* p = reinterpret_cast<const uint8_t*>(address);
  std::size_t pos = 0;
  for (uint64_t word; pos + 8 <= maxBytes; pos += 8) {
    std::memcpy(&word, p + pos, 8);
    if (((word - 0x0101010101010101ull) | word) & 0x8080808080808080ull) break;
  }
  while (pos < maxBytes && p[pos] != 0 && p[pos] < 0x80) ++pos;
  if (pos == maxBytes || p[pos] == 0) return std::string_view(address, pos);
  const void* nul = std::memchr(address + pos, 0, maxBytes - pos);
  const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - address) : maxBytes;
  scratch.clear();
  Utf8DecodeAppend(scratch, std::string_view(address, length), stray);
  return scratch;
}

std::string Utf8Encode(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t v = text[i];
    if (IsHighSurrogate(v) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      v = 0x10000 + ((v - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(v) || IsLowSurrogate(v)) {
      v = kReplacement;
    }
    AppendUtf8(out, v);
  }
  return out;
}

}  // namespace tmr
