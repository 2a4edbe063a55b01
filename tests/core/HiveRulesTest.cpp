// What only a hive file can show of the live registry's rules: key names too
// long for the live layer's buffer, missing hives, the machine's keys in
// their files. (Texts, names and bytes are compared with the live registry
// itself in the Windows tests.)
#include <gtest/gtest.h>

#include "core/HiveRules.h"
#include "support/HiveBuilder.h"

namespace tmr {
namespace {

TEST(HiveRules, KeyNamesEndAtTheFirstTooLongAndMissingKeysHaveNothing) {
  const std::optional<RegistryHive> hive = RegistryHive::Open(test::BuildHiveTree(
      {{"Keys\\a"}, {"Keys\\" + std::string(255, 'b')}, {"Keys\\" + std::string(256, 'c')}, {"Keys\\d"}}));
  ASSERT_TRUE(hive);
  const HiveRules rules(&*hive);
  // 255 units fit the buffer with the terminator; 256 end the listing.
  EXPECT_EQ(rules.SubKeys("keys"), (std::vector<std::string>{"a", std::string(255, 'b')}));
  EXPECT_EQ(rules.ValueNames("Keys"), std::vector<std::string>{});
  const HiveRules noHive(nullptr);
  for (const HiveRules* rulesOf : {&noHive, &rules}) {
    EXPECT_EQ(rulesOf->Text("Missing", "a"), std::nullopt);
    EXPECT_EQ(rulesOf->ValueNames("Missing"), std::nullopt);
    EXPECT_TRUE(rulesOf->Bytes("Missing", "a").empty());
    EXPECT_TRUE(rulesOf->SubKeys("Missing").empty());
    EXPECT_EQ(rulesOf->KeyLastWritten("Missing"), std::nullopt);
  }
}

TEST(HiveRules, MachineKeysLieInTheirHiveFiles) {
  struct Case {
    const char* key;
    std::optional<uint32_t> current;
    MachineHive hive;
    const char* path;
  };
  for (const Case& c : {
           Case{"SYSTEM\\CurrentControlSet\\Enum\\USBSTOR", 2, MachineHive::kSystem, "ControlSet002\\Enum\\USBSTOR"},
           Case{"system\\currentcontrolset", 1, MachineHive::kSystem, "ControlSet001"},
           // No Select\Current: the name stays, and finds no key offline.
           Case{"SYSTEM\\CurrentControlSet\\X", std::nullopt, MachineHive::kSystem, "CurrentControlSet\\X"},
           Case{"Software\\Microsoft", 1, MachineHive::kSoftware, "Microsoft"},
           Case{"SYSTEMS\\X", 1, MachineHive::kNone, ""},
       }) {
    const MachineKey resolved = ResolveMachineKey(c.key, c.current);
    EXPECT_EQ(resolved.hive, c.hive) << c.key;
    EXPECT_EQ(resolved.path, c.path) << c.key;
  }
}

}  // namespace
}  // namespace tmr
