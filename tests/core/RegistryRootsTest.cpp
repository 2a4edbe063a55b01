#include <gtest/gtest.h>

#include "core/RegistryRoots.h"

namespace tmr {
namespace {

struct SplitCase {
  const char* path;
  const char* root;
  const char* subKey;
};

class SplitRootKeyCases : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitRootKeyCases, TakesLongOrShortNamesInAnyCase) {
  const SplitCase& c = GetParam();
  SplitKey split = SplitRootKey(c.path);
  EXPECT_EQ(split.rootName, c.root) << c.path;
  EXPECT_EQ(split.subKey, c.subKey) << c.path;
}

INSTANTIATE_TEST_SUITE_P(Paths, SplitRootKeyCases,
                         ::testing::Values(SplitCase{"HKEY_CURRENT_USER\\Software\\X\\", "HKCU", "Software\\X\\"},
                                           SplitCase{"hkcu\\Software\\X", "HKCU", "Software\\X"},
                                           SplitCase{"hkey_local_machine\\SYSTEM", "HKLM", "SYSTEM"},
                                           SplitCase{"HKEY_USERS\\.DEFAULT", "HKUS", ".DEFAULT"},
                                           SplitCase{"HKEY_CLASSES_ROOT", "HKCR", ""},
                                           SplitCase{"Hkey_Dyn_Data\\a", "HKDD", "a"},
                                           SplitCase{"HKEY_CURRENT_CONFIG\\a\\b", "HKCC", "a\\b"},
                                           SplitCase{"HKEY_PERFORMANCE_DATA\\", "HKPD", ""},
                                           // Only the root is a root: subkeys keep their names.
                                           SplitCase{"HKCU\\HKEY_USERS\\x", "HKCU", "HKEY_USERS\\x"},
                                           SplitCase{"HKEY_LOCAL_MACHINE\\a\\hkey_users", "HKLM", "a\\hkey_users"},
                                           SplitCase{"xHKEY_USERS\\a", "XHKE", "a"},
                                           // The root is the first four characters, whatever they are.
                                           SplitCase{"HKCUX\\a", "HKCU", "a"}, SplitCase{"abc\\d", "ABC\\", "d"},
                                           SplitCase{"", "", ""}));

TEST(RootIndex, KnowsTheSevenShortNames) {
  for (const RootName& root : kRootNames) EXPECT_GE(RootIndex(root.shortName), 0) << root.shortName;
  EXPECT_EQ(RootIndex("hkcu"), -1);
  EXPECT_EQ(RootIndex("HKEY_CURRENT_USER"), -1);
  EXPECT_EQ(RootIndex("ABC\\"), -1);
}

}  // namespace
}  // namespace tmr
