#include <gtest/gtest.h>

#include "app/SettingsFile.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  SettingsFile Bind(std::string_view content) {
    file_ = dir_.Write("tmere.ini", content);
    return SettingsFile(dir_.str() + "\\tmere.ini");
  }
  std::string FileText() const { return test::ReadFileBytes(file_); }

  test::TempDir dir_;
  std::filesystem::path file_;
};

TEST_F(IniFileTest, MatchesSectionAndKeyWithoutCase) {
  SettingsFile ini = Bind("[GENERAL]\r\nreportfolder=C:\\Reports\r\n");
  EXPECT_EQ(ini.GetSetting("general", "ReportFolder"), "C:\\Reports");
  EXPECT_EQ(ini.GetSetting("General", "REPORTFOLDER"), "C:\\Reports");
}

TEST_F(IniFileTest, MissingAndEmptyValuesAreToldApart) {
  SettingsFile ini = Bind("[general]\r\nReportFolder=\r\nCheckInterval=7\r\n");
  EXPECT_EQ(ini.GetSetting("general", "ReportFolder"), "");
  EXPECT_EQ(ini.GetSetting("general", "lastcheckupdate"), "unknown value");
  EXPECT_EQ(ini.GetSetting("other", "CheckInterval"), "unknown value");
  SettingsFile nowhere(dir_.str() + "\\absent.ini");
  EXPECT_EQ(nowhere.GetSetting("general", "CheckInterval"), "unknown value");
}

TEST_F(IniFileTest, ReadsAtMost254CharactersAndDropsBlanksAndQuotes) {
  std::string longValue(300, 'x');
  SettingsFile ini = Bind("[general]\r\nlong=" + longValue + "\r\nspaced=   a b   \r\nquoted=\"  q  \"\r\n");
  EXPECT_EQ(ini.GetSetting("general", "long"), std::string(254, 'x'));
  EXPECT_EQ(ini.GetSetting("general", "spaced"), "a b");
  EXPECT_EQ(ini.GetSetting("general", "quoted"), "  q  ");
}

TEST_F(IniFileTest, SaveReplacesInPlaceAndCreatesWhatIsMissing) {
  SettingsFile ini = Bind("[general]\r\nReportFolder=\r\nlastcheckupdate=1/1/2026\r\nCheckInterval=7\r\n");
  EXPECT_TRUE(ini.SaveSetting("General", "LastCheckUpdate", "12/8/2026"));
  EXPECT_EQ(ini.GetSetting("general", "lastcheckupdate"), "12/8/2026");
  std::string text = FileText();
  // One entry, still between the other two keys.
  EXPECT_EQ(text.find("1/1/2026"), std::string::npos);
  EXPECT_LT(text.find("ReportFolder"), text.find("12/8/2026"));
  EXPECT_LT(text.find("12/8/2026"), text.find("CheckInterval"));

  SettingsFile fresh(dir_.str() + "\\new.ini");
  EXPECT_TRUE(fresh.SaveSetting("general", "ReportFolder", "C:\\R\\"));
  EXPECT_EQ(fresh.GetSetting("general", "ReportFolder"), "C:\\R\\");
}

TEST_F(IniFileTest, DamagedFileReadsQuietly) {
  SettingsFile ini = Bind(std::string("\xFF\xFE\x00garbage\r\n[general\r\n=\r\nCheckInterval\r\n", 36));
  EXPECT_EQ(ini.GetSetting("general", "CheckInterval"), "unknown value");
}

}  // namespace
}  // namespace tmr
