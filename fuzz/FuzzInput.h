// Cuts one fuzz input into the arguments of a call: numbers from its
// leading bytes, then texts. Whatever is missing reads as zero or empty, so
// every input is a valid call.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace tmr::fuzz {

class FuzzInput {
 public:
  explicit FuzzInput(std::string_view bytes) : rest_(bytes) {}

  // The next sizeof(T) bytes as they lie in memory (any bit pattern: NaN,
  // infinities and negative zero included for floating point).
  template <typename T>
  T Number() {
    T value{};
    const size_t count = rest_.size() < sizeof(T) ? rest_.size() : sizeof(T);
    if (count != 0) std::memcpy(&value, rest_.data(), count);
    rest_.remove_prefix(count);
    return value;
  }
  uint8_t Byte() { return Number<uint8_t>(); }

  // The text up to the next separator (which is dropped), or all the rest.
  std::string_view Text(char separator) {
    const size_t at = rest_.find(separator);
    std::string_view text = rest_.substr(0, at);
    rest_.remove_prefix(at == std::string_view::npos ? rest_.size() : at + 1);
    return text;
  }
  std::string_view Rest() {
    std::string_view rest = rest_;
    rest_ = {};
    return rest;
  }

 private:
  std::string_view rest_;
};

}  // namespace tmr::fuzz
