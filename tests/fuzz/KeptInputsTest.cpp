// The inputs kept for each fuzz harness, its seeds and those that once made
// it fail, replayed through the harness's entry point, so a fault a fuzz run
// found stays found.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzTargets.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

TEST(FuzzKeptInputs, PassTheirHarnessChecks) {
  size_t replayed = 0;
  for (const fuzz::Target& target : fuzz::Targets()) {
    for (const char* kind : {"seeds", "regressions"}) {
      const fs::path folder = fs::path(TM_FUZZ_DIR) / kind / target.name;
      if (!fs::is_directory(folder)) continue;
      for (const fs::directory_entry& file : fs::directory_iterator(folder)) {
        if (!file.is_regular_file() || file.path().filename() == "README.md") continue;
        std::ifstream in(file.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(target.check(bytes), "") << file.path();
        ++replayed;
      }
    }
  }
  EXPECT_GE(replayed, fuzz::Targets().size());  // every harness has seeds
}

}  // namespace
}  // namespace tmr
