// A forgiving reading of JSON, for stores whose texts are almost always
// well formed but must never cost a row when one is not (see JsonText.h
// for the strict reader). Only the outermost object's members or array's
// elements are picked out, each value kept as the text it stands as; what
// lies deeper is stepped over by counting brackets, so nesting costs no
// stack. A string's broken escape is kept as written, a stray comma
// skipped. Reading stops at the first thing that makes no sense there,
// keeping what came before; a value the text ends inside of is not kept.
// All of it is linear in the text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

struct JsonRawMember {
  std::string name;        // decoded as JsonRawString does
  std::string_view value;  // the value's own text: "\"x\"", "12", "{...}"
};

// The members of the object the text holds (blanks around it allowed), in
// their order, duplicates included; none when the text starts otherwise.
std::vector<JsonRawMember> ScanJsonObject(std::string_view text);

// The elements of the array the text holds, in their order.
std::vector<std::string_view> ScanJsonArray(std::string_view text);

// The member of that name that came last (as a parser keeps it); null when
// there is none.
const JsonRawMember* LastMember(const std::vector<JsonRawMember>& members, std::string_view name);

// The text of a string value ("..." as it stands, quotes included), its
// escapes decoded; a surrogate that does not pair up becomes U+FFFD and an
// escape that is no escape stays as written. nullopt for a value that is no
// string. The bytes between the escapes are passed on as they are.
std::optional<std::string> JsonRawString(std::string_view value);

}  // namespace tmr
