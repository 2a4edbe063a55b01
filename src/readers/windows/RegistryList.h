// Listing a registry key of text values into the main list, one row per
// value, in the registry's enumeration order (the "MRUList" order value is
// never consulted).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "readers/ListTarget.h"

namespace tmr {

// Appends the key's text values by the list kind on show (list.ListKind()):
// "run" drops each value's last two characters (the "\1" Windows appends),
// "open" keeps only values holding ":", every other kind lists the value as
// it is. It neither clears the list nor sets a column or a status text.
void ShowRegList(ListTarget& list, HKEY root, std::string_view keyPath);

// The same with the kind given, for categories that list in the generic way
// whatever was shown before (pass "").
void ShowRegListAs(ListTarget& list, HKEY root, std::string_view keyPath, std::string_view kind);

// The values such a listing takes, in order. With runNeedsBackslash (the
// report) the "run" kind also leaves out values that hold no "\".
void ForEachRegListValue(HKEY root, std::string_view keyPath, std::string_view kind, bool runNeedsBackslash,
                         const std::function<void(std::string)>& add);

// Drops the last `count` characters (code points) of UTF-8 text; false when
// the text has fewer.
bool DropLastCharacters(std::string& text, size_t count);

}  // namespace tmr
