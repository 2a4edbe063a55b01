#include "core/JsonText.h"

#include <charconv>
#include <cmath>

#include "core/Utf8Text.h"

namespace tmr {
namespace {

constexpr std::size_t kMaxDepth = 64;
constexpr std::size_t kMaxBytes = std::size_t{16} << 20;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<JsonValue> Document() {
    JsonValue value;
    SkipBlanks();
    if (!Value(value, 0)) return std::nullopt;
    SkipBlanks();
    if (at_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void SkipBlanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }

  bool Take(char c) {
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool Value(JsonValue& out, std::size_t depth) {
    if (depth > kMaxDepth || at_ >= text_.size()) return false;
    switch (text_[at_]) {
      case '{': return ObjectValue(out, depth);
      case '[': return ArrayValue(out, depth);
      case '"': {
        std::string text;
        if (!StringValue(text)) return false;
        out.value = std::move(text);
        return true;
      }
      case 't': out.value = true; return Word("true");
      case 'f': out.value = false; return Word("false");
      case 'n': out.value = nullptr; return Word("null");
      default: return NumberValue(out);
    }
  }

  bool ObjectValue(JsonValue& out, std::size_t depth) {
    ++at_;  // {
    auto object = std::make_shared<JsonObject>();
    SkipBlanks();
    if (!Take('}')) {
      do {
        SkipBlanks();
        std::string name;
        if (!StringValue(name)) return false;
        SkipBlanks();
        if (!Take(':')) return false;
        SkipBlanks();
        JsonValue member;
        if (!Value(member, depth + 1)) return false;
        (*object)[std::move(name)] = std::move(member);
        SkipBlanks();
      } while (Take(','));
      if (!Take('}')) return false;
    }
    out.value = std::move(object);
    return true;
  }

  bool ArrayValue(JsonValue& out, std::size_t depth) {
    ++at_;  // [
    auto array = std::make_shared<JsonArray>();
    SkipBlanks();
    if (!Take(']')) {
      do {
        SkipBlanks();
        JsonValue element;
        if (!Value(element, depth + 1)) return false;
        array->push_back(std::move(element));
        SkipBlanks();
      } while (Take(','));
      if (!Take(']')) return false;
    }
    out.value = std::move(array);
    return true;
  }

  bool Hex4(char32_t& unit) {
    if (text_.size() - at_ < 4) return false;
    unit = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      unit <<= 4;
      if (c >= '0' && c <= '9')
        unit |= static_cast<char32_t>(c - '0');
      else if (c >= 'a' && c <= 'f')
        unit |= static_cast<char32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        unit |= static_cast<char32_t>(c - 'A' + 10);
      else
        return false;
    }
    return true;
  }

  bool StringValue(std::string& out) {
    if (!Take('"')) return false;
    std::size_t plain = at_;
    while (true) {
      if (at_ >= text_.size()) return false;
      const auto c = static_cast<unsigned char>(text_[at_]);
      if (c == '"' || c == '\\') {
        out.append(text_, plain, at_ - plain);
        if (c == '"') {
          ++at_;
          return true;
        }
        if (!Escape(out)) return false;
        plain = at_;
      } else if (c < 0x20) {
        return false;
      } else {
        ++at_;
      }
    }
  }

  bool Escape(std::string& out) {
    ++at_;  // backslash
    if (at_ >= text_.size()) return false;
    const char c = text_[at_++];
    switch (c) {
      case '"': out += '"'; return true;
      case '\\': out += '\\'; return true;
      case '/': out += '/'; return true;
      case 'b': out += '\b'; return true;
      case 'f': out += '\f'; return true;
      case 'n': out += '\n'; return true;
      case 'r': out += '\r'; return true;
      case 't': out += '\t'; return true;
      case 'u': {
        char32_t unit = 0;
        if (!Hex4(unit)) return false;
        if (unit >= 0xD800 && unit <= 0xDBFF && text_.substr(at_, 2) == "\\u") {
          const std::size_t back = at_;
          at_ += 2;
          char32_t low = 0;
          if (Hex4(low) && low >= 0xDC00 && low <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            return true;
          }
          at_ = back;
        }
        // A lone half of a pair is no character.
        AppendUtf8(out, (unit >= 0xD800 && unit <= 0xDFFF) ? U'\uFFFD' : unit);
        return true;
      }
      default: return false;
    }
  }

  bool NumberValue(JsonValue& out) {
    const std::size_t start = at_;
    Take('-');
    if (Take('0')) {
    } else if (!Digits()) {
      return false;
    }
    if (Take('.') && !Digits()) return false;
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (!Digits()) return false;
    }
    double number = 0;
    const char* first = text_.data() + start;
    const char* last = text_.data() + at_;
    auto [stop, error] = std::from_chars(first, last, number);
    // A number beyond double's range is refused rather than guessed at.
    if (stop != last || error != std::errc() || !std::isfinite(number)) return false;
    out.value = number;
    return true;
  }

  bool Digits() {
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    return at_ > start;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

const JsonObject* JsonValue::Object() const {
  const auto* object = std::get_if<std::shared_ptr<JsonObject>>(&value);
  return object ? object->get() : nullptr;
}

const std::string* JsonValue::String() const { return std::get_if<std::string>(&value); }

std::optional<double> JsonValue::Number() const {
  if (const auto* number = std::get_if<double>(&value)) return *number;
  return std::nullopt;
}

const JsonValue* JsonValue::Member(std::string_view name) const {
  const JsonObject* object = Object();
  if (!object) return nullptr;
  auto it = object->find(name);
  return it == object->end() ? nullptr : &it->second;
}

std::optional<JsonValue> ParseJson(std::string_view text) {
  if (text.size() > kMaxBytes) return std::nullopt;
  return Parser(text).Document();
}

}  // namespace tmr
