// Installer signatures made by openssl at build time, checked with CNG.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"
#include "support/WinTestUtil.h"
#include "updater/SignatureCheck.h"
#include "updater/UpdaterText.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

class SignatureCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::path bin = test::TestProgramFolder();
    installer_ = test::ReadFileBytes(bin / L"tm_record_start.exe");
    std::string sig = test::ReadFileBytes(bin / L"tm_record_start.exe.sig");
    std::string other = test::ReadFileBytes(bin / L"tm_record_start.exe.othersig");
    signature_.assign(sig.begin(), sig.end());
    otherSignature_.assign(other.begin(), other.end());
    key_ = HexToBytes(TM_TEST_UPDATE_KEY).value();
    ASSERT_FALSE(installer_.empty());
    ASSERT_FALSE(signature_.empty());
    file_ = dir_.Write("tmeresetup.exe", installer_).string();
  }

  test::TempDir dir_;
  std::string installer_;
  std::string file_;
  std::vector<uint8_t> signature_;
  std::vector<uint8_t> otherSignature_;
  std::vector<uint8_t> key_;
};

TEST_F(SignatureCheckTest, AGoodSignatureVerifies) { EXPECT_TRUE(VerifyFileSignature(file_, signature_, key_)); }

TEST_F(SignatureCheckTest, ATamperedInstallerDoesNot) {
  std::string tampered = installer_;
  tampered[tampered.size() / 2] ^= 0x01;
  EXPECT_FALSE(VerifyFileSignature(dir_.Write("tampered.exe", tampered).string(), signature_, key_));
  EXPECT_FALSE(VerifyFileSignature(dir_.Write("longer.exe", installer_ + "x").string(), signature_, key_));
}

TEST_F(SignatureCheckTest, AnotherKeysSignatureDoesNot) {
  EXPECT_FALSE(VerifyFileSignature(file_, otherSignature_, key_));
  std::vector<uint8_t> wrongKey = key_;
  wrongKey[10] ^= 0xFF;  // not a point of the curve, or another point
  EXPECT_FALSE(VerifyFileSignature(file_, signature_, wrongKey));
}

TEST_F(SignatureCheckTest, MissingOrGarbledSignaturesAndKeysDoNot) {
  EXPECT_FALSE(VerifyFileSignature(file_, {}, key_));
  std::vector<uint8_t> garbled = signature_;
  garbled[garbled.size() - 3] ^= 0x40;
  EXPECT_FALSE(VerifyFileSignature(file_, garbled, key_));
  std::vector<uint8_t> cut(signature_.begin(), signature_.begin() + 20);
  EXPECT_FALSE(VerifyFileSignature(file_, cut, key_));
  std::vector<uint8_t> html = {'<', 'h', 't', 'm', 'l', '>'};
  EXPECT_FALSE(VerifyFileSignature(file_, html, key_));
  EXPECT_FALSE(VerifyFileSignature(file_, signature_, {}));
  EXPECT_FALSE(VerifyFileSignature(dir_.str() + "\\absent.exe", signature_, key_));
}

}  // namespace
}  // namespace tmr
