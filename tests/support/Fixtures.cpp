#include "support/Fixtures.h"

#include <fstream>
#include <iterator>

namespace tmr::test {

std::filesystem::path FixturePath(std::string_view relative) {
  return std::filesystem::u8path(std::string(TM_FIXTURES_DIR) + "/" + std::string(relative));
}

std::string ReadFixture(std::string_view relative) {
  std::ifstream in(FixturePath(relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tmr::test
