#include <gtest/gtest.h>

#include "app/OsVersionMap.h"

namespace tmr {
namespace {

struct VersionCase {
  uint32_t platform;
  uint32_t major;
  uint32_t minor;
  const char* expected;
};

class OsVersionTable : public ::testing::TestWithParam<VersionCase> {};

TEST_P(OsVersionTable, MapsToFamilyText) {
  const VersionCase& c = GetParam();
  EXPECT_EQ(MapWindowsVersion(c.platform, c.major, c.minor), c.expected)
      << c.platform << " " << c.major << "." << c.minor;
}

INSTANTIATE_TEST_SUITE_P(
    WholeTable, OsVersionTable,
    ::testing::Values(
        // 9x family: the minor version decides, whatever the major.
        VersionCase{1, 4, 0, "95"}, VersionCase{1, 7, 0, "95"}, VersionCase{1, 4, 10, "98"},
        VersionCase{1, 4, 90, "98"}, VersionCase{1, 4, 3, ""}, VersionCase{1, 4, 91, ""},
        // NT family.
        VersionCase{2, 3, 51, "Windows NT 3.51"}, VersionCase{2, 3, 0, "Windows NT 3.51"},
        VersionCase{2, 4, 0, "98"},                                                          // NT 4 is treated like 98
        VersionCase{2, 5, 0, "2000"}, VersionCase{2, 5, 1, "xp"}, VersionCase{2, 5, 2, ""},  // Server 2003
        VersionCase{2, 6, 0, "Vista"}, VersionCase{2, 6, 1, "Vista"}, VersionCase{2, 6, 2, "Vista"},
        VersionCase{2, 6, 3, "Vista"}, VersionCase{2, 10, 0, ""}, VersionCase{2, 2, 0, ""},
        // Any other platform id.
        VersionCase{0, 3, 1, "Failed"}, VersionCase{3, 6, 1, "Failed"}, VersionCase{99, 6, 1, "Failed"}));

}  // namespace
}  // namespace tmr
