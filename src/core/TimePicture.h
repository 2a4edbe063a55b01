// A time of day written by a time picture of the user's settings
// ("h:mm:ss tt", "HH:mm:ss", "tt h'h'mm" ...), as the platform's own time
// formatting writes it. The lists show one such text per stored time, so
// the picture is read once and the texts are built here rather than by a
// platform call per cell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tmr {

// h and hh: 12-hour clock (12 for noon and midnight), without and with a
// leading zero; H and HH: 24-hour; m, mm, s, ss likewise; t: the first
// character of the AM or PM designator, tt: all of it. Longer runs count as
// two letters. Text in single quotes is copied ('' is a quote), as is every
// other character.
class TimePicture {
 public:
  TimePicture() = default;
  TimePicture(std::string_view picture, std::string am, std::string pm);
  void AppendTo(std::string& out, int hour, int minute, int second) const;
  // The same text written at `to`, which has room for MaxLength() chars;
  // returns its length.
  std::size_t WriteTo(char* to, int hour, int minute, int second) const;
  // An upper bound of the length of any text it writes.
  std::size_t MaxLength() const { return maxLength_; }

 private:
  struct Token {
    char field;  // 'h', 'H', 'm', 's', 't', or 0 for literal text
    bool twoLetters;
    std::string literal;
  };
  std::vector<Token> tokens_;
  std::string am_;
  std::string pm_;
  std::size_t maxLength_ = 0;
};

std::string FormatTimePicture(std::string_view picture, int hour, int minute, int second, std::string_view am,
                              std::string_view pm);

}  // namespace tmr
