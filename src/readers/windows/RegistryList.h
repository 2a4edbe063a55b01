// The text values of one registry key, one row per value, in the registry's
// enumeration order (the "MRUList" order value is never consulted).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "readers/RowSink.h"

namespace tmr {

enum class ValueFilter {
  kAll,
  // The Run box list: each value without its last two characters (the "\1"
  // Windows appends).
  kRunCommands,
  // The same, leaving out values that hold no "\" (as the report lists it).
  kRunCommandsWithPath,
  // Only values that hold ":" (full paths, not bare file names).
  kFullPaths,
};

// Every text value of the key but "MRUList", empty ones left out, by the
// filter; none when the key cannot be read.
std::vector<std::string> TextValuesOf(const TraceSource& source, TraceRoot root, std::string_view keyPath,
                                      ValueFilter filter);

// The same, one row each.
void AddTextValues(RowSink& rows, const TraceSource& source, TraceRoot root, std::string_view keyPath,
                   ValueFilter filter);

// Drops the last `count` characters (code points) of UTF-8 text; false when
// the text has fewer.
bool DropLastCharacters(std::string& text, size_t count);

}  // namespace tmr
