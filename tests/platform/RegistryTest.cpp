// The registry layer against Wine's registry, through a scratch root.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/Registry.h"
#include "support/ScratchRegistry.h"

namespace tmr {
namespace {

constexpr char kKey[] = "Software\\TracemereTest\\Layer";

class RegistryTest : public ::testing::Test {
 protected:
  test::ScratchRegistry scratch_;
};

TEST_F(RegistryTest, TextValuesOrNothing) {
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "Cookies", "C:\\Users\\me\\Cookies");
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "Empty", "");
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "Binary", std::string("a\0b\0", 4));
  scratch_.SetRaw(HKEY_CURRENT_USER, kKey, "NoData", REG_SZ, "");
  scratch_.SetRaw(HKEY_CURRENT_USER, kKey, "Expand", REG_EXPAND_SZ, std::string("%\0x\0%\0\0\0", 8));
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "Unicode", "K\xC3\xB6ln \xE6\x9D\xB1\xE4\xBA\xAC");

  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "Cookies"), "C:\\Users\\me\\Cookies");
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "Empty"), "");
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "Binary"), std::nullopt);
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "NoData"), std::nullopt);
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "Expand"), std::nullopt);
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "Missing"), std::nullopt);
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, "Software\\TracemereTest\\Nowhere", "Cookies"), std::nullopt);
  // The Unicode functions keep names outside the ANSI code page.
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "Unicode"), "K\xC3\xB6ln \xE6\x9D\xB1\xE4\xBA\xAC");
  // A key path may end in "\".
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, std::string(kKey) + "\\", "Cookies"), "C:\\Users\\me\\Cookies");
}

TEST_F(RegistryTest, TextNeverLosesCharactersOfOddData) {
  // Stored without a terminator: every character is kept.
  scratch_.SetRaw(HKEY_CURRENT_USER, kKey, "Bare", REG_SZ, std::string("a\0b\0", 4));
  // A stray NUL ends the text.
  scratch_.SetRaw(HKEY_CURRENT_USER, kKey, "Stray", REG_SZ, std::string("a\0\0\0b\0\0\0", 8));
  // An odd byte count leaves the half character out.
  scratch_.SetRaw(HKEY_CURRENT_USER, kKey, "Odd", REG_SZ, std::string("a\0b", 3));
  scratch_.SetDword(HKEY_CURRENT_USER, kKey, "Number", 1234);
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "Bare"), "ab");
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "Stray"), "a");
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "Odd"), "a");
  EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "Number"), "1234");
}

TEST_F(RegistryTest, ValuesReportTypesAndStatus) {
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "Text", "abc");
  scratch_.SetDword(HKEY_CURRENT_USER, kKey, "Number", 7);
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "Binary", "xy");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TracemereTest\\Layer", 0, KEY_READ, &key), ERROR_SUCCESS);
  RegValue text, number, binary, missing;
  EXPECT_EQ(ReadRegistryValue(key, "Text", text), 0);
  EXPECT_EQ(std::get<std::wstring>(text), std::wstring(L"abc\0", 4));
  EXPECT_EQ(ReadRegistryValue(key, "Number", number), 0);
  EXPECT_EQ(std::get<uint32_t>(number), 7u);
  EXPECT_EQ(ReadRegistryValue(key, "Binary", binary), -1);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(binary));
  EXPECT_EQ(ReadRegistryValue(key, "Missing", missing), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(RegistryTest, ValueNamesStopAtLongNames) {
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "a", "x\\1");
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "b", "y\\1");
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "MRUList", "ba");
  using Names = std::vector<std::string>;
  EXPECT_EQ(ListRegistryValueNames(HKEY_CURRENT_USER, kKey), (Names{"a", "b", "MRUList"}));

  scratch_.CreateKey(HKEY_CURRENT_USER, "Software\\TracemereTest\\NoValues");
  EXPECT_EQ(ListRegistryValueNames(HKEY_CURRENT_USER, "Software\\TracemereTest\\NoValues"), Names{});
  EXPECT_EQ(ListRegistryValueNames(HKEY_CURRENT_USER, "Software\\TracemereTest\\Nowhere"), std::nullopt);

  // Wine enumerates values by name; the names below sort in the order they
  // are written, as Windows would enumerate them.
  const char* longKey = "Software\\TracemereTest\\LongNames";
  scratch_.SetString(HKEY_CURRENT_USER, longKey, "a_first", "1");
  scratch_.SetString(HKEY_CURRENT_USER, longKey, "b_name_of_25_characters", "2");
  scratch_.SetString(HKEY_CURRENT_USER, longKey, "c_third", "3");
  EXPECT_EQ(ListRegistryValueNames(HKEY_CURRENT_USER, longKey), (Names{"a_first"}));

  const std::string name19 = "a" + std::string(18, 'x');
  const std::string name20 = "b" + std::string(19, 'x');
  const char* edgeKey = "Software\\TracemereTest\\Edge";
  scratch_.SetString(HKEY_CURRENT_USER, edgeKey, name19, "1");  // fits the buffer with its NUL
  scratch_.SetString(HKEY_CURRENT_USER, edgeKey, name20, "2");
  scratch_.SetString(HKEY_CURRENT_USER, edgeKey, "c", "3");
  EXPECT_EQ(ListRegistryValueNames(HKEY_CURRENT_USER, edgeKey), (Names{name19}));
}

TEST_F(RegistryTest, SubKeysComeInEnumerationOrder) {
  using Names = std::vector<std::string>;
  for (const char* name : {"A", "B", "C"}) scratch_.CreateKey(HKEY_CURRENT_USER, std::string(kKey) + "\\" + name);
  EXPECT_EQ(ListRegistrySubKeys(HKEY_CURRENT_USER, kKey), (Names{"A", "B", "C"}));
  scratch_.CreateKey(HKEY_CURRENT_USER, "Software\\TracemereTest\\One\\A");
  EXPECT_EQ(ListRegistrySubKeys(HKEY_CURRENT_USER, "Software\\TracemereTest\\One"), (Names{"A"}));
  EXPECT_TRUE(ListRegistrySubKeys(HKEY_CURRENT_USER, "Software\\TracemereTest\\One\\A").empty());
  EXPECT_TRUE(ListRegistrySubKeys(HKEY_CURRENT_USER, "Software\\TracemereTest\\Nowhere").empty());
  // The machine root is redirected too.
  scratch_.CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\USBSTOR\\Disk&Ven_X");
  EXPECT_EQ(ListRegistrySubKeys(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\USBSTOR"), (Names{"Disk&Ven_X"}));
}

TEST_F(RegistryTest, BytesGetOneZeroByteMore) {
  scratch_.SetBinary(HKEY_CURRENT_USER, "Software\\X", "six", std::string("\x01\x02\x03\x04\x05\x06", 6));
  scratch_.SetBinary(HKEY_CURRENT_USER, "Software\\X", "empty", "");
  std::vector<uint8_t> six = ReadRegistryBytes("HKEY_CURRENT_USER\\Software\\X\\", "six");
  EXPECT_EQ(six, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0}));
  EXPECT_EQ(ReadRegistryBytes("hkcu\\Software\\X", "six"), six);
  EXPECT_EQ(ReadRegistryBytes("HKCU\\Software\\X", "missing"), (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(ReadRegistryBytes("HKCU\\Software\\X", "empty"), (std::vector<uint8_t>{0}));
  EXPECT_TRUE(ReadRegistryBytes("HKCU\\Software\\Nowhere", "six").empty());
  EXPECT_TRUE(ReadRegistryBytes("HKXX\\Software\\X", "six").empty());
  EXPECT_TRUE(ReadRegistryBytes("Software\\X", "six").empty());
  // The raw bytes of a text value, as stored.
  scratch_.SetString(HKEY_CURRENT_USER, "Software\\X", "text", "ab");
  EXPECT_EQ(ReadRegistryBytes("HKCU\\Software\\X", "text"), (std::vector<uint8_t>{'a', 0, 'b', 0, 0, 0, 0}));
}

// A value rewritten while it is read, long and short in turns: every read
// gives one version of it whole with the zero byte (or, should it change
// at every try, the missing value's two zero bytes), never the long size
// with the short bytes or a short size cut from the long bytes.
TEST_F(RegistryTest, BytesOfAValueChangingWhileReadAreOneVersionOfIt) {
  const std::string longBytes(4096, 'L');
  const std::string shortBytes = "s";
  scratch_.SetBinary(HKEY_CURRENT_USER, "Software\\X", "v", longBytes);
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\X", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    for (bool big = false; !stop; big = !big) {
      const std::string& bytes = big ? longBytes : shortBytes;
      RegSetValueExW(key, L"v", 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()));
    }
    RegCloseKey(key);
  });
  auto withZero = [](const std::string& bytes) {
    std::vector<uint8_t> v(bytes.begin(), bytes.end());
    v.push_back(0);
    return v;
  };
  const std::vector<uint8_t> whole[] = {withZero(longBytes), withZero(shortBytes), {0, 0}};
  int odd = 0;
  for (int i = 0; i < 3000; ++i) {
    std::vector<uint8_t> read = ReadRegistryBytes("HKCU\\Software\\X", "v");
    if (std::find(std::begin(whole), std::end(whole), read) == std::end(whole)) ++odd;
  }
  stop = true;
  writer.join();
  EXPECT_EQ(odd, 0);
}

TEST_F(RegistryTest, ReadingChangesNothing) {
  scratch_.SetString(HKEY_CURRENT_USER, kKey, "a", "1");
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "b", "xyz");
  std::string before = scratch_.Dump();
  ReadRegistryText(HKEY_CURRENT_USER, kKey, "a");
  ReadRegistryText(HKEY_CURRENT_USER, kKey, "missing");
  ListRegistryValueNames(HKEY_CURRENT_USER, kKey);
  ListRegistrySubKeys(HKEY_CURRENT_USER, kKey);
  ReadRegistryBytes("HKCU\\Software\\TracemereTest\\Layer", "b");
  ReadRegistryBytes("HKCU\\Software\\TracemereTest\\New", "b");
  EXPECT_EQ(scratch_.Dump(), before);
}

}  // namespace
}  // namespace tmr
