// The index file scan as first written, kept as the reference the fast
// scanner is checked and timed against: a file read with positioned reads,
// one byte position after the other, ending once a read has run past the
// last byte. Bytes a read finds past the end are NUL.
#pragma once

#include <string>
#include <vector>

namespace tmr::test {

std::vector<std::string> PerByteIndexScan(const std::string& file);

}  // namespace tmr::test
