#include "core/TimePicture.h"

#include <algorithm>

#include "core/TextUtil.h"

namespace tmr {
namespace {

// The first character of a UTF-8 text.
std::string_view FirstCharacter(std::string_view text) {
  if (text.empty()) return text;
  size_t n = 1;
  while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) ++n;
  return text.substr(0, n);
}

}  // namespace

TimePicture::TimePicture(std::string_view picture, std::string am, std::string pm)
    : am_(std::move(am)), pm_(std::move(pm)) {
  auto literal = [this]() -> std::string& {
    if (tokens_.empty() || tokens_.back().field != 0) tokens_.push_back({0, false, {}});
    return tokens_.back().literal;
  };
  size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    if (c == '\'') {
      std::string& text = literal();
      for (++i; i < picture.size(); ++i) {
        if (picture[i] != '\'') {
          text.push_back(picture[i]);
        } else if (i + 1 < picture.size() && picture[i + 1] == '\'') {
          text.push_back('\'');
          ++i;
        } else {
          ++i;
          break;
        }
      }
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    if (c == 'h' || c == 'H' || c == 'm' || c == 's' || c == 't') {
      tokens_.push_back({c, run >= 2, {}});
    } else {
      literal().append(run, c);
    }
    i += run;
  }
  for (const Token& token : tokens_) {
    maxLength_ += token.field == 0 ? token.literal.size() : token.field == 't' ? std::max(am_.size(), pm_.size()) : 2;
  }
}

void TimePicture::AppendTo(std::string& out, int hour, int minute, int second) const {
  // Written in place into room for the longest text, then cut to size:
  // one growth of the string instead of one per character.
  const size_t start = out.size();
  out.resize(start + maxLength_);
  out.resize(start + WriteTo(out.data() + start, hour, minute, second));
}

std::size_t TimePicture::WriteTo(char* to, int hour, int minute, int second) const {
  char* p = to;
  auto number = [&p](int value, bool twoDigits) {
    if (twoDigits || value >= 10) *p++ = static_cast<char>('0' + value / 10 % 10);
    *p++ = static_cast<char>('0' + value % 10);
  };
  auto text = [&p](std::string_view t) { p = CopyShortText(p, t); };
  for (const Token& token : tokens_) {
    switch (token.field) {
      case 'h': number(hour % 12 == 0 ? 12 : hour % 12, token.twoLetters); break;
      case 'H': number(hour, token.twoLetters); break;
      case 'm': number(minute, token.twoLetters); break;
      case 's': number(second, token.twoLetters); break;
      case 't': {
        std::string_view designator = hour < 12 ? am_ : pm_;
        text(token.twoLetters ? designator : FirstCharacter(designator));
        break;
      }
      default: text(token.literal); break;
    }
  }
  return static_cast<std::size_t>(p - to);
}

std::string FormatTimePicture(std::string_view picture, int hour, int minute, int second, std::string_view am,
                              std::string_view pm) {
  std::string out;
  TimePicture(picture, std::string(am), std::string(pm)).AppendTo(out, hour, minute, second);
  return out;
}

}  // namespace tmr
