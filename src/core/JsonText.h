// A small JSON reader for the browsers' own files: Chromium's "Local State"
// (the profiles it knows) and Firefox's download metadata. Strict about the
// grammar, bounded in depth and size, so a damaged or hostile text gives
// nothing rather than a guess.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tmr {

struct JsonValue;
using JsonObject = std::map<std::string, JsonValue, std::less<>>;
using JsonArray = std::vector<JsonValue>;

struct JsonValue {
  // null, true/false, a number, a string (UTF-8), an array, an object. A
  // member named twice keeps its last value.
  std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<JsonArray>, std::shared_ptr<JsonObject>>
      value = nullptr;

  const JsonObject* Object() const;
  const std::string* String() const;
  std::optional<double> Number() const;
  // The member of an object; null when this is no object or has no such member.
  const JsonValue* Member(std::string_view name) const;
};

// The value the whole text holds (blanks around it allowed); nullopt for
// anything else: a syntax error, trailing text, nesting deeper than 64, or
// a text over 16 MiB.
std::optional<JsonValue> ParseJson(std::string_view text);

}  // namespace tmr
