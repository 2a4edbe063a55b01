// The real artifacts published by others, kept outside the repository
// (TM_FIXTURES_DIR; see the fixtures' MANIFEST.md). Tests copy them and
// never change them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tmr::test {

// A fixture's path, e.g. "chrome/History-schema20", whether or not it is there.
std::filesystem::path FixturePath(std::string_view relative);

// A fixture's bytes; "" when it is missing.
std::string ReadFixture(std::string_view relative);

}  // namespace tmr::test
