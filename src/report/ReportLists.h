// Entry lists: what a report collector returns. Element 0 is an empty
// placeholder and entries count from 1; a list that collected nothing has
// no elements at all ("no dimension"). Browser entries join their fields
// with "^".
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

using EntryList = std::vector<std::string>;

// Appends one entry, giving the list its placeholder first when needed.
void AppendEntry(EntryList& list, std::string entry);

// second appended to first, second's placeholder included (one empty
// element separates the parts); a list without elements adds nothing.
EntryList MergeA(const EntryList& first, const EntryList& second);

// Fields joined with "^". A "^" or "%" inside a field is written as "%5E"
// or "%25", so data can never add or move a column.
std::string JoinFields(const std::vector<std::string>& fields);
std::string JoinFields(std::span<const std::string_view> fields);
// Splits at every "^" and undoes the escaping of JoinFields.
std::vector<std::string> SplitFields(std::string_view entry);

// The same without copying where nothing was escaped: views into the entry,
// or into `store` for the fields that needed unescaping. Both vectors are
// reused between calls.
void SplitFieldViews(std::string_view entry, std::vector<std::string_view>& fields, std::vector<std::string>& store);

}  // namespace tmr
