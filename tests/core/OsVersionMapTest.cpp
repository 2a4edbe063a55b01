#include <gtest/gtest.h>

#include "core/OsVersionMap.h"

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

// A copied system's SOFTWARE hive: the text the version query would have
// given on it. Later systems keep "6.3" in CurrentVersion, and the query
// answers 6.2 for them, so nothing maps past "Vista".
TEST(InstalledVersion, MapsAsTheVersionQueryWouldHaveAnsweredThere) {
  struct Case {
    const char* version;
    const char* product;
    const char* expected;
  };
  for (const Case& c : {Case{"6.1", "Windows 7 Professional", "Vista"}, Case{"6.3", "Windows 10 Pro", "Vista"},
                        Case{"10.0", "", "Vista"}, Case{"5.1", "Microsoft Windows XP", "xp"}, Case{"5.0", "", "2000"},
                        Case{"5.2", "Windows Server 2003", ""}, Case{" 6.0 ", "", "Vista"},
                        // Without a number the product name decides.
                        Case{"", "Microsoft Windows XP", "xp"}, Case{"6.x", "Windows 11 Home", "Vista"},
                        Case{"6.1.7601", "", ""}, Case{"", "", ""}}) {
    EXPECT_EQ(WindowsFamilyOfInstalledVersion(c.version, c.product), c.expected) << c.version << "|" << c.product;
  }
}

}  // namespace
}  // namespace tmr
