// The decoders through the registry and the real text conversions. The
// *Locale* tests also run under LC_ALL values that give each text class for
// real (see tests/CMakeLists.txt): de_DE and the default give "en",
// ja_JP "jan", ko_KR "asia".
#include <gtest/gtest.h>

#include <string>

#include "readers/windows/MruText.h"
#include "support/ScratchRegistry.h"

using namespace std::string_literals;

namespace tmr {
namespace {

constexpr char kKey[] = "Software\\TracemereTest\\Mru";
constexpr char kPath[] = "HKEY_CURRENT_USER\\Software\\TracemereTest\\Mru\\";

std::string Utf16(std::u16string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

const std::string kNul(2, '\0');

// The class the test run's LC_ALL should give.
TextClass ExpectedClass() {
  wchar_t value[64] = {};
  GetEnvironmentVariableW(L"LC_ALL", value, 64);
  std::wstring locale(value);
  if (locale.rfind(L"ja", 0) == 0) return TextClass::kJan;
  if (locale.rfind(L"ko", 0) == 0 || locale.rfind(L"zh", 0) == 0) return TextClass::kAsia;
  return TextClass::kEn;
}

Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

class MruTextTest : public ::testing::Test {
 protected:
  test::ScratchRegistry scratch_;
};

TEST_F(MruTextTest, LocaleClassFollowsTheSystemLocale) {
  EXPECT_EQ(SystemTextClass(), ExpectedClass()) << std::hex << GetSystemDefaultLCID();
  EXPECT_EQ(LocaleTextClass(), TextClassName(ExpectedClass()));
}

TEST_F(MruTextTest, LocaleConversionsByClass) {
  const Bytes fullWidth = AsBytes(Utf16(u"\uff21\uff22 \u3072\u3089.txt") + kNul);
  EXPECT_EQ(ConvertMruBytes(TextClass::kAsia, fullWidth), "AB \u3072\u3089.txt");
  EXPECT_EQ(ConvertMruBytes(TextClass::kJan, fullWidth), "\uff21\uff22 \u30d2\u30e9.txt");
  // "en" goes byte by byte through the ANSI code page: UTF-16 text below
  // U+0100 comes out as itself, anything else as its bytes.
  EXPECT_EQ(ConvertMruBytes(TextClass::kEn, AsBytes(Utf16(u"notepad.exe") + kNul)), "notepad.exe");
  if (GetACP() == 1252) {
    EXPECT_EQ(ConvertMruBytes(TextClass::kEn, AsBytes(Utf16(u"caf\u00e9"))), "caf\u00e9");
    EXPECT_EQ(ConvertMruBytes(TextClass::kEn, fullWidth), "!\u00ff\"\u00ff r0\u20300.txt");
  }
  EXPECT_EQ(ConvertMruBytes(TextClass::kAsia, {}), "");
  EXPECT_EQ(ConvertMruBytes(TextClass::kEn, {0, 0, 0}), "");
  EXPECT_EQ(ConvertMruBytes(TextClass::kJan, {0x41}), "");  // half a character
}

TEST_F(MruTextTest, LocaleDecodersUseTheSystemClass) {
  // A program name in full-width letters, and an open/save entry's name in
  // hiragana (the tail of a real file item: NUL, 0x16, end of the list).
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "lead", Utf16(u"\uff21\uff22\uff23.exe") + kNul + "\x14\x00\x1f\x50"s);
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "trail",
                     "\x31\x32\x33\x34\x35\x36\x37\x38"s + std::string(4, '\0') +
                         Utf16(u"\u3072\u3089\u304c\u306a.txt") + kNul + std::string("\x16\0\0\0", 4));
  std::string leading = DecodeLeadingText(kPath, "lead");
  std::string trailing = DecodeTrailingName(kPath, "trail");
  switch (ExpectedClass()) {
    case TextClass::kAsia:
      EXPECT_EQ(leading, "ABC.exe");
      EXPECT_EQ(trailing, "\u3072\u3089\u304c\u306a.txt");
      break;
    case TextClass::kJan:
      EXPECT_EQ(leading, "\uff21\uff22\uff23.exe");
      EXPECT_EQ(trailing, "\u30d2\u30e9\u30ac\u30ca.txt");
      break;
    case TextClass::kEn:
      if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP();
      EXPECT_EQ(leading, "!\u00ff\"\u00ff#\u00ff.exe");
      EXPECT_EQ(trailing, "r0\u20300L0j0.txt");
      break;
  }
}

TEST_F(MruTextTest, LocaleDecodersOnTheEdgesOfTheLayer) {
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "notepad", Utf16(u"notepad.exe") + kNul + "\x14\x00\x1f\x50\xe0\x4f"s);
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "four", "\x01\x02\x03\x04");
  scratch_.SetBinary(HKEY_CURRENT_USER, kKey, "one", "\x41");
  EXPECT_EQ(DecodeLeadingText(kPath, "notepad"), "notepad.exe");
  EXPECT_EQ(DecodeLeadingText("hkcu\\Software\\TracemereTest\\Mru", "notepad"), "notepad.exe");
  EXPECT_EQ(DecodeLeadingText(kPath, "four"), "");
  EXPECT_EQ(DecodeLeadingText(kPath, "missing"), "");
  EXPECT_EQ(DecodeLeadingText("HKEY_CURRENT_USER\\Software\\TracemereTest\\Nowhere\\", "notepad"), "");
  EXPECT_EQ(DecodeLeadingText("Software\\TracemereTest\\Mru\\", "notepad"), "");  // no root name
  EXPECT_EQ(DecodeTrailingName(kPath, "one"), "");
  EXPECT_EQ(DecodeTrailingName(kPath, "missing"), "");
  EXPECT_EQ(DecodeTrailingName("HKEY_CURRENT_USER\\Software\\TracemereTest\\Nowhere\\", "one"), "");
}

}  // namespace
}  // namespace tmr
