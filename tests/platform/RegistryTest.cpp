// The registry layer against Wine's registry, through a scratch root.
#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "support/ScratchRegistry.h"

namespace tmr {
namespace {

constexpr char kKey[] = "Software\\TracemereTest\\Layer";

class RegistryAccessTest : public ::testing::Test {
 protected:
  test::ScratchRegistry scratch_;
};

TEST_F(RegistryAccessTest, GetRegTextGivesTextOrTheSentinel) {
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "Cookies", "C:\\Users\\me\\Cookies");
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "Empty", "");
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "Binary", std::string("a\0b\0", 4));
  scratch_.SetRaw(HKEY_CURRENT_USER, kKey, "NoData", REG_SZ, "");
  scratch_.SetRaw(HKEY_CURRENT_USER, kKey, "Expand", REG_EXPAND_SZ, std::string("%\0x\0%\0\0\0", 8));
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "Unicode", "K\xC3\xB6ln \xE6\x9D\xB1\xE4\xBA\xAC");

  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "Cookies"), "C:\\Users\\me\\Cookies");
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "Empty"), "");
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "Binary"), kRegError);
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "NoData"), kRegError);
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "Expand"), kRegError);
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "Missing"), kRegError);
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, "Software\\TracemereTest\\Nowhere", "Cookies"), kRegError);
  // The Unicode functions keep names outside the ANSI code page.
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "Unicode"), "K\xC3\xB6ln \xE6\x9D\xB1\xE4\xBA\xAC");
  // A key path may end in "\".
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, std::string(kKey) + "\\", "Cookies"), "C:\\Users\\me\\Cookies");
}

TEST_F(RegistryAccessTest, GetRegTextNeverLosesCharactersOfOddData) {
  // Stored without a terminator: every character is kept.
  scratch_.SetRaw(HKEY_CURRENT_USER, kKey, "Bare", REG_SZ, std::string("a\0b\0", 4));
  // A stray NUL ends the text.
  scratch_.SetRaw(HKEY_CURRENT_USER, kKey, "Stray", REG_SZ, std::string("a\0\0\0b\0\0\0", 8));
  // An odd byte count leaves the half character out.
  scratch_.SetRaw(HKEY_CURRENT_USER, kKey, "Odd", REG_SZ, std::string("a\0b", 3));
  scratch_.SetDword(HKEY_CURRENT_USER, kKey, "Number", 1234);
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "Bare"), "ab");
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "Stray"), "a");
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "Odd"), "a");
  EXPECT_EQ(GetRegText(HKEY_CURRENT_USER, kKey, "Number"), "1234");
}

TEST_F(RegistryAccessTest, GetRegValueReportsTypesAndStatus) {
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "Text", "abc");
  scratch_.SetDword(HKEY_CURRENT_USER, kKey, "Number", 7);
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "Binary", "xy");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TracemereTest\\Layer", 0, KEY_READ, &key), ERROR_SUCCESS);
  RegValue text, number, binary, missing;
  EXPECT_EQ(GetRegValue(key, "Text", text), 0);
  EXPECT_EQ(std::get<std::wstring>(text), std::wstring(L"abc\0", 4));
  EXPECT_EQ(GetRegValue(key, "Number", number), 0);
  EXPECT_EQ(std::get<uint32_t>(number), 7u);
  EXPECT_EQ(GetRegValue(key, "Binary", binary), -1);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(binary));
  EXPECT_EQ(GetRegValue(key, "Missing", missing), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(RegistryAccessTest, ValueNamesEndInACommaAndStopAtLongNames) {
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "a", "x\\1");
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "b", "y\\1");
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "MRUList", "ba");
  EXPECT_EQ(ListRegValueNames(HKEY_CURRENT_USER, kKey), "a,b,MRUList,");

  scratch_.CreateKey(HKEY_CURRENT_USER, "Software\\TracemereTest\\NoValues");
  EXPECT_EQ(ListRegValueNames(HKEY_CURRENT_USER, "Software\\TracemereTest\\NoValues"), "");
  EXPECT_EQ(ListRegValueNames(HKEY_CURRENT_USER, "Software\\TracemereTest\\Nowhere"), kRegError);

  // Wine enumerates values by name; the names below sort in the order they
  // are written, as Windows would enumerate them.
  const char* longKey = "Software\\TracemereTest\\LongNames";
  scratch_.SetString(HKEY_CURRENT_USER, longKey, "a_first", "1");
  scratch_.SetString(HKEY_CURRENT_USER, longKey, "b_name_of_25_characters", "2");
  scratch_.SetString(HKEY_CURRENT_USER, longKey, "c_third", "3");
  EXPECT_EQ(ListRegValueNames(HKEY_CURRENT_USER, longKey), "a_first,");

  const std::string name19 = "a" + std::string(18, 'x');
  const std::string name20 = "b" + std::string(19, 'x');
  const char* edgeKey = "Software\\TracemereTest\\Edge";
  scratch_.SetString(HKEY_CURRENT_USER, edgeKey, name19, "1");  // fits the buffer with its NUL
  scratch_.SetString(HKEY_CURRENT_USER, edgeKey, name20, "2");
  scratch_.SetString(HKEY_CURRENT_USER, edgeKey, "c", "3");
  EXPECT_EQ(ListRegValueNames(HKEY_CURRENT_USER, edgeKey), name19 + ",");
}

TEST_F(RegistryAccessTest, SubKeysComeInReverseEnumerationOrder) {
  for (const char* name : {"A", "B", "C"}) scratch_.CreateKey(HKEY_CURRENT_USER, std::string(kKey) + "\\" + name);
  EXPECT_EQ(ListRegSubKeys(HKEY_CURRENT_USER, kKey), "C,B,A");
  scratch_.CreateKey(HKEY_CURRENT_USER, "Software\\TracemereTest\\One\\A");
  EXPECT_EQ(ListRegSubKeys(HKEY_CURRENT_USER, "Software\\TracemereTest\\One"), "A");
  EXPECT_EQ(ListRegSubKeys(HKEY_CURRENT_USER, "Software\\TracemereTest\\One\\A"), "");
  EXPECT_EQ(ListRegSubKeys(HKEY_CURRENT_USER, "Software\\TracemereTest\\Nowhere"), "");
  // The machine root is redirected too.
  scratch_.CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\USBSTOR\\Disk&Ven_X");
  EXPECT_EQ(ListRegSubKeys(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\USBSTOR"), "Disk&Ven_X");
}

TEST_F(RegistryAccessTest, ReadValueBytesAddsOneZeroByte) {
  scratch_.SetBinary(HKEY_CURRENT_USER, "Software\\X", "six", std::string("\x01\x02\x03\x04\x05\x06", 6));
  scratch_.SetBinary(HKEY_CURRENT_USER, "Software\\X", "empty", "");
  RegistryReader reg;
  std::vector<uint8_t> six = reg.ReadValueBytes("HKEY_CURRENT_USER\\Software\\X\\", "six");
  EXPECT_EQ(six, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0}));
  EXPECT_EQ(reg.ReadValueBytes("hkcu\\Software\\X", "six"), six);
  EXPECT_EQ(reg.ReadValueBytes("HKCU\\Software\\X", "missing"), (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(reg.ReadValueBytes("HKCU\\Software\\X", "empty"), (std::vector<uint8_t>{0}));
  EXPECT_TRUE(reg.ReadValueBytes("HKCU\\Software\\Nowhere", "six").empty());
  EXPECT_TRUE(reg.ReadValueBytes("HKXX\\Software\\X", "six").empty());
  EXPECT_TRUE(reg.ReadValueBytes("Software\\X", "six").empty());
  // The raw bytes of a text value, as stored.
  scratch_.SetString(HKEY_CURRENT_USER, "Software\\X", "text", "ab");
  EXPECT_EQ(reg.ReadValueBytes("HKCU\\Software\\X", "text"), (std::vector<uint8_t>{'a', 0, 'b', 0, 0, 0, 0}));
}

TEST_F(RegistryAccessTest, ReadingChangesNothing) {
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "a", "1");
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "b", "xyz");
  std::string before = scratch_.Dump();
  GetRegText(HKEY_CURRENT_USER, kKey, "a");
  GetRegText(HKEY_CURRENT_USER, kKey, "missing");
  ListRegValueNames(HKEY_CURRENT_USER, kKey);
  ListRegSubKeys(HKEY_CURRENT_USER, kKey);
  RegistryReader().ReadValueBytes("HKCU\\Software\\TracemereTest\\Layer", "b");
  RegistryReader().ReadValueBytes("HKCU\\Software\\TracemereTest\\New", "b");
  EXPECT_EQ(scratch_.Dump(), before);
}

}  // namespace
}  // namespace tmr
