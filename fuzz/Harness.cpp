// One libFuzzer harness: TM_FUZZ_CHECK names the entry point it drives. A
// property that fails ends the run like a crash, so libFuzzer keeps the
// input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string failed = tmr::fuzz::TM_FUZZ_CHECK(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!failed.empty()) {
    std::fprintf(stderr, "property failed: %s\n", failed.c_str());
    std::abort();
  }
  return 0;
}
