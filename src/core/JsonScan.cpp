#include "core/JsonScan.h"

#include "core/Utf8Text.h"

namespace tmr {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  void SkipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  }

  bool Take(char c) {
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  bool AtEnd() const { return at_ >= text_.size(); }

  // The next value's text, or nullopt (the scan ends) when none is there
  // or the text ends inside it.
  std::optional<std::string_view> RawValue() {
    if (AtEnd()) return std::nullopt;
    const std::size_t start = at_;
    const char first = text_[at_];
    if (first == '"') {
      if (!SkipString()) return std::nullopt;
    } else if (first == '{' || first == '[') {
      if (!SkipNested()) return std::nullopt;
    } else {
      while (at_ < text_.size() && !IsBlank(text_[at_]) && text_[at_] != ',' && text_[at_] != '}' &&
             text_[at_] != ']' && text_[at_] != ':') {
        ++at_;
      }
      // A word the text ends with may have been cut short.
      if (at_ == start || AtEnd()) return std::nullopt;
    }
    return text_.substr(start, at_ - start);
  }

 private:
  // From an opening quote to just past its closing one.
  bool SkipString() {
    ++at_;
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '"') {
        ++at_;
        return true;
      }
      at_ += c == '\\' ? 2 : 1;
    }
    at_ = text_.size();
    return false;
  }

  // Brackets of either kind count alike: the value only has to end where
  // its nesting does.
  bool SkipNested() {
    std::size_t depth = 0;
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '"') {
        if (!SkipString()) return false;
        continue;
      }
      ++at_;
      if (c == '{' || c == '[') {
        ++depth;
      } else if (c == '}' || c == ']') {
        if (--depth == 0) return true;
      }
    }
    return false;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The four hex digits of a "\u" escape starting at text[at]; nullopt where
// they are not all there.
std::optional<char32_t> Hex4(std::string_view text, std::size_t at) {
  if (text.size() < at + 6 || text[at] != '\\' || text[at + 1] != 'u') return std::nullopt;
  char32_t unit = 0;
  for (std::size_t i = at + 2; i < at + 6; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) return std::nullopt;
    unit = unit << 4 | static_cast<char32_t>(digit);
  }
  return unit;
}

char SimpleEscape(char c) {
  switch (c) {
    case '"': return '"';
    case '\\': return '\\';
    case '/': return '/';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    default: return 0;
  }
}

}  // namespace

std::vector<JsonRawMember> ScanJsonObject(std::string_view text) {
  std::vector<JsonRawMember> members;
  Scanner scan(text);
  scan.SkipBlanks();
  if (!scan.Take('{')) return members;
  while (true) {
    scan.SkipBlanks();
    while (scan.Take(',')) scan.SkipBlanks();
    if (scan.AtEnd() || scan.Take('}')) break;
    const std::optional<std::string_view> name = scan.RawValue();
    const std::optional<std::string> nameText = name ? JsonRawString(*name) : std::nullopt;
    if (!nameText) break;
    scan.SkipBlanks();
    if (!scan.Take(':')) break;
    scan.SkipBlanks();
    const std::optional<std::string_view> value = scan.RawValue();
    if (!value) break;
    members.push_back({*nameText, *value});
    scan.SkipBlanks();
    if (!scan.Take(',')) break;
  }
  return members;
}

std::vector<std::string_view> ScanJsonArray(std::string_view text) {
  std::vector<std::string_view> elements;
  Scanner scan(text);
  scan.SkipBlanks();
  if (!scan.Take('[')) return elements;
  while (true) {
    scan.SkipBlanks();
    while (scan.Take(',')) scan.SkipBlanks();
    if (scan.AtEnd() || scan.Take(']')) break;
    const std::optional<std::string_view> value = scan.RawValue();
    if (!value) break;
    elements.push_back(*value);
    scan.SkipBlanks();
    if (!scan.Take(',')) break;
  }
  return elements;
}

const JsonRawMember* LastMember(const std::vector<JsonRawMember>& members, std::string_view name) {
  for (auto it = members.rbegin(); it != members.rend(); ++it) {
    if (it->name == name) return &*it;
  }
  return nullptr;
}

std::optional<std::string> JsonRawString(std::string_view value) {
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::nullopt;
  const std::string_view inner = value.substr(1, value.size() - 2);
  std::string out;
  out.reserve(inner.size());
  std::size_t at = 0;
  while (at < inner.size()) {
    const std::size_t escape = inner.find('\\', at);
    out.append(inner.substr(at, escape - at));
    if (escape == std::string_view::npos) break;
    at = escape;
    const char simple = at + 1 < inner.size() ? SimpleEscape(inner[at + 1]) : 0;
    if (simple != 0) {
      out += simple;
      at += 2;
      continue;
    }
    const std::optional<char32_t> unit = Hex4(inner, at);
    if (!unit) {
      out += '\\';  // no escape: the characters after it follow as they are
      ++at;
      continue;
    }
    at += 6;
    if (*unit >= 0xD800 && *unit <= 0xDBFF) {
      const std::optional<char32_t> low = Hex4(inner, at);
      if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00));
        at += 6;
        continue;
      }
    }
    AppendUtf8(out, (*unit >= 0xD800 && *unit <= 0xDFFF) ? U'\uFFFD' : *unit);
  }
  return out;
}

}  // namespace tmr
