#include <gtest/gtest.h>

#include <cstdint>

#include "updater/UpdaterText.h"

namespace tmr {
namespace {

TEST(FileNameFromUrl, TakesTheNameAfterTheLastSlash) {
  EXPECT_EQ(FileNameFromUrl("http://www.tracemere.invalid/tmeresetup.exe"), "tmeresetup.exe");
  EXPECT_EQ(FileNameFromUrl("http://127.0.0.1:8080/a/b/setup.v2.exe"), "setup.v2.exe");
  EXPECT_EQ(FileNameFromUrl("http://host/dir/"), "");  // ends in "/"
  EXPECT_EQ(FileNameFromUrl("https://host/tmeresetup.exe"), "");
  EXPECT_EQ(FileNameFromUrl("http://"), "");
  EXPECT_EQ(FileNameFromUrl("h"), "");
  EXPECT_EQ(FileNameFromUrl(""), "");
  EXPECT_EQ(FileNameFromUrl("ftp://host/a.exe"), "");
  EXPECT_EQ(FileNameFromUrl("http://host/noextension"), "");
  EXPECT_EQ(FileNameFromUrl("http://host/trailingdot."), "");
  EXPECT_EQ(FileNameFromUrl("http://host/.x"), ".x");
  // Without a path the host itself is the name, as long as it has a dot.
  EXPECT_EQ(FileNameFromUrl("http://www.example.com"), "www.example.com");
}

TEST(SizeText, UsesTheDivisor1024000AndTwoDecimals) {
  EXPECT_EQ(SizeText(2048000, "."), "File Size:2 MB");
  EXPECT_EQ(SizeText(1536000, "."), "File Size:1.5 MB");
  EXPECT_EQ(SizeText(1536000, ","), "File Size:1,5 MB");
  EXPECT_EQ(SizeText(1048576, "."), "File Size:1.02 MB");
  EXPECT_EQ(SizeText(0, "."), "File Size:0 MB");
  EXPECT_EQ(SizeText(5120, "."), "File Size:0 MB");      // 0.005 rounds to even
  EXPECT_EQ(SizeText(15360, "."), "File Size:0.02 MB");  // 0.015 rounds to even
}

TEST(PercentText, RoundsHalvesToEven) {
  EXPECT_EQ(PercentText(1024, 2048), "50");
  EXPECT_EQ(PercentText(2048, 2048), "100");
  EXPECT_EQ(PercentText(5, 1000), "0");   // 0.5 -> 0
  EXPECT_EQ(PercentText(15, 1000), "2");  // 1.5 -> 2
  EXPECT_EQ(PercentText(25, 1000), "2");  // 2.5 -> 2
  EXPECT_EQ(PercentText(0, 0), "0");
  // Out of range either way, never a conversion beyond long long.
  EXPECT_EQ(PercentText(INT64_MAX, 1), "100");
  EXPECT_EQ(PercentText(3000, 1000), "100");
  EXPECT_EQ(PercentText(-5, 1000), "0");
  EXPECT_EQ(PercentText(5, -1), "0");
}

TEST(ReplyHeaders, StatusCodeAndFirstLine) {
  EXPECT_EQ(StatusCodeText("HTTP/1.1 206 Partial Content\r\n"), "206");
  EXPECT_EQ(StatusCodeText("HTTP/1.0 404 Not Found\r\n"), "404");
  EXPECT_EQ(StatusCodeText("short"), "");
  EXPECT_EQ(FirstHeaderLine("HTTP/1.1 500 Internal Server Error\r\nServer: x\r\n"),
            "HTTP/1.1 500 Internal Server Error\r");
  EXPECT_EQ(FirstHeaderLine("no line end"), "<nothing>");
  EXPECT_EQ(ContentLengthValue("12345"), 12345);
  EXPECT_EQ(ContentLengthValue(""), 0);
  EXPECT_EQ(ContentLengthValue("abc"), 0);
  // A size no installer has is no size: below 0, beyond the cap, beyond 32 bits.
  EXPECT_EQ(ContentLengthValue("-5"), 0);
  EXPECT_EQ(ContentLengthValue("268435456"), 268435456);
  EXPECT_EQ(ContentLengthValue("268435457"), 0);
  EXPECT_EQ(ContentLengthValue("99999999999"), 0);
  EXPECT_EQ(ContentLengthValue("1e300"), 0);
}

TEST(DerSignatureToRaw, ConvertsAndRejectsDamage) {
  // r = 0x00 0x80 (sign padding), s = 0x01
  std::vector<uint8_t> der{0x30, 0x07, 0x02, 0x02, 0x00, 0x80, 0x02, 0x01, 0x01};
  auto raw = DerSignatureToRaw(der, 4);
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(*raw, (std::vector<uint8_t>{0, 0, 0, 0x80, 0, 0, 0, 0x01}));

  EXPECT_FALSE(DerSignatureToRaw({}, 32).has_value());
  EXPECT_FALSE(DerSignatureToRaw({0x31, 0x00}, 32).has_value());
  EXPECT_FALSE(DerSignatureToRaw({0x30, 0x07, 0x02, 0x02, 0x00, 0x80, 0x02, 0x01}, 4).has_value());  // cut
  EXPECT_FALSE(DerSignatureToRaw({0x30, 0x06, 0x02, 0x05, 1, 2, 3, 4, 5}, 4).has_value());           // lengths disagree
  std::vector<uint8_t> tooWide{0x30, 0x08, 0x02, 0x03, 1, 2, 3, 0x02, 0x01, 0x01};
  EXPECT_FALSE(DerSignatureToRaw(tooWide, 2).has_value());
  std::vector<uint8_t> trailing = der;
  trailing.push_back(0);
  EXPECT_FALSE(DerSignatureToRaw(trailing, 4).has_value());
}

TEST(HexToBytes, StrictHex) {
  EXPECT_EQ(HexToBytes("00ff10Ab"), (std::vector<uint8_t>{0x00, 0xFF, 0x10, 0xAB}));
  EXPECT_EQ(HexToBytes(""), std::vector<uint8_t>{});
  EXPECT_FALSE(HexToBytes("abc").has_value());
  EXPECT_FALSE(HexToBytes("zz").has_value());
}

}  // namespace
}  // namespace tmr
