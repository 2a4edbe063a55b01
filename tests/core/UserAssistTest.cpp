// The shell's program counts: real values of a Windows 7 user hive, the
// XP form built after its description, and known folders in paths.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "core/KnownFolders.h"
#include "core/UserAssist.h"

namespace tmr {
namespace {

std::vector<uint8_t> Hex(const std::string& text) {
  std::vector<uint8_t> bytes;
  std::istringstream in(text);
  unsigned byte = 0;
  while (in >> std::hex >> byte) bytes.push_back(static_cast<uint8_t>(byte));
  return bytes;
}

// Bytes 16..59 of every Windows 7 value seen: ten floats of -1.0, then -1.
constexpr char kMiddle[] =
    "00 00 80 bf 00 00 80 bf 00 00 80 bf 00 00 80 bf 00 00 80 bf 00 00 80 bf 00 00 80 bf 00 00 80 bf 00 00 80 bf "
    "00 00 80 bf ff ff ff ff ";

TEST(UserAssist, RealWindows7Values) {
  // Names and data as NTUSER-WIN7.DAT holds them under the executables'
  // and the shortcuts' key.
  struct Case {
    const char* storedName;
    std::string data;
    std::string subject;
    uint32_t runs, focuses, focusMs;
    uint64_t lastRun;
  };
  const Case cases[] = {
      {"{1NP14R77-02R7-4R5Q-O744-2RO1NR5198O7}\\pzq.rkr",
       "00 00 00 00 06 00 00 00 0c 00 00 00 1b c2 09 00 " + std::string(kMiddle) +
           "d0 c1 f5 b4 26 14 cd 01 00 00 00 00",
       "%windir%\\System32\\cmd.exe", 6, 12, 639515, 129782120740930000},
      {"{0139Q44R-6NSR-49S2-8690-3QNSPNR6SSO8}\\Npprffbevrf\\Erzbgr Qrfxgbc Pbaarpgvba.yax",
       "00 00 00 00 08 00 00 00 00 00 00 00 08 00 00 00 " + std::string(kMiddle) +
           "04 a8 92 d2 ab 80 cb 01 00 00 00 00",
       "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\Accessories\\Remote Desktop Connection.lnk", 8, 0, 8,
       129338489770780676},
  };
  for (const Case& c : cases) {
    const UserAssistName name = DecodeUserAssistName(c.storedName);
    EXPECT_EQ(name.tag, UserAssistTag::kNone);
    EXPECT_EQ(name.subject, c.subject);
    const std::optional<UserAssistCounts> counts = DecodeUserAssistData(Hex(c.data));
    ASSERT_TRUE(counts.has_value()) << c.subject;
    EXPECT_EQ(counts->runCount, c.runs) << c.subject;
    EXPECT_EQ(counts->focusCount, c.focuses) << c.subject;
    EXPECT_EQ(counts->focusTimeMs, c.focusMs) << c.subject;
    EXPECT_EQ(counts->lastRun, c.lastRun) << c.subject;
    EXPECT_EQ(counts->session, std::nullopt);
  }

  const UserAssistName counter = DecodeUserAssistName("HRZR_PGYPHNPbhag:pgbe");
  EXPECT_EQ(counter.tag, UserAssistTag::kCounterStart);
  EXPECT_EQ(counter.marker, "UEME_CTLCUACount");
  EXPECT_TRUE(IsBookkeeping(counter.tag));
  const UserAssistName session = DecodeUserAssistName("HRZR_PGYFRFFVBA");
  EXPECT_EQ(session.tag, UserAssistTag::kSession);
  EXPECT_EQ(session.subject, "");
  // The session value's 1612 bytes are no counts.
  EXPECT_FALSE(DecodeUserAssistData(std::vector<uint8_t>(1612, 0)).has_value());
}

TEST(UserAssist, XpValues) {
  const UserAssistName name = DecodeUserAssistName("HRZR_EHACNGU:P:\\Cebtenz Svyrf\\Vagrearg Rkcybere\\vrkcyber.rkr");
  EXPECT_EQ(name.tag, UserAssistTag::kRunPath);
  EXPECT_EQ(name.subject, "C:\\Program Files\\Internet Explorer\\iexplore.exe");
  EXPECT_FALSE(IsBookkeeping(name.tag));
  EXPECT_EQ(DecodeUserAssistName("HRZR_ARJGUVAT:k").tag, UserAssistTag::kOther);

  // Session 3, counter 7 (two starts), FILETIME 0x01C8A3B2C4D5E6F7.
  const auto counts = DecodeUserAssistData(Hex("03 00 00 00 07 00 00 00 f7 e6 d5 c4 b2 a3 c8 01"));
  ASSERT_TRUE(counts.has_value());
  EXPECT_EQ(counts->session, 3u);
  EXPECT_EQ(counts->runCount, 2u);
  EXPECT_EQ(counts->lastRun, 0x01C8A3B2C4D5E6F7u);
  EXPECT_EQ(counts->focusCount, std::nullopt);
  EXPECT_EQ(DecodeUserAssistData(Hex("00 00 00 00 02 00 00 00 00 00 00 00 00 00 00 00"))->runCount, 0u);

  for (std::size_t size : {0, 8, 15, 17, 71, 73}) {
    EXPECT_FALSE(DecodeUserAssistData(std::vector<uint8_t>(size, 1)).has_value()) << size;
  }
}

TEST(UserAssist, Rot13AndKeyKinds) {
  EXPECT_EQ(Rot13("Uryyb, Jbeyq! 123 \xC3\xA9z"), "Hello, World! 123 \xC3\xA9m");
  EXPECT_EQ(Rot13(Rot13("AZaz{}\\")), "AZaz{}\\");
  EXPECT_EQ(UserAssistKindOfKey("{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}"), UserAssistKind::kExecutables);
  EXPECT_EQ(UserAssistKindOfKey("{f4e57c4b-2036-45f0-a9ab-443bcfe33d9f}"), UserAssistKind::kShortcuts);
  EXPECT_EQ(UserAssistKindOfKey("{FA99DFC7-6AC2-453A-A5E2-5E2AFF4507BD}"), UserAssistKind::kUnknown);
}

TEST(KnownFolders, OnlyALeadingKnownIdentifierIsExpanded) {
  struct Case {
    const char* path;
    const char* expanded;
  };
  const Case cases[] = {
      {"{7c5a40ef-a0fb-4bfc-874a-c0f2e0b9fa8e}\\Skype\\Phone\\Skype.exe",
       "%ProgramFiles(x86)%\\Skype\\Phone\\Skype.exe"},
      {"{9E3995AB-1F9C-4F13-B827-48B24B6C7174}\\TaskBar\\a.lnk",
       "%APPDATA%\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar\\a.lnk"},
      {"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}x.exe", "{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}x.exe"},
      {"::{ED228FDF-9EA8-4870-83B1-96B02CFE0D52}\\{00D8862B-6453-4957-A821-3D98D74C76BE}",
       "::{ED228FDF-9EA8-4870-83B1-96B02CFE0D52}\\{00D8862B-6453-4957-A821-3D98D74C76BE}"},
      {"{00000000-0000-0000-0000-000000000000}\\a", "{00000000-0000-0000-0000-000000000000}\\a"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandKnownFolderPrefix(c.path), c.expanded) << c.path;
}

}  // namespace
}  // namespace tmr
