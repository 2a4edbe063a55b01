// The update check against a real HTTP server on loopback, with message
// boxes captured through their seam and a stand-in updater.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/CheckVersion.h"
#include "app/SettingsFile.h"
#include "core/ProgramState.h"
#include "platform/Dialogs.h"
#include "platform/Locale.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

struct Shown {
  std::string text;
  std::string title;
  UINT buttons;
};

class CheckVersionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppVersion = 5.2f;
    SetMessageHook([this](HWND, const std::string& text, const std::string& title, UINT buttons) {
      shown_.push_back({text, title, buttons});
      return answer_;
    });
    dir_.Write("tmere.ini", "[general]\r\nReportFolder=C:\\R\r\nlastcheckupdate=1/1/2020\r\nCheckInterval=7\r\n");
    std::filesystem::copy_file(std::filesystem::path(test::TestProgramFolder()) / L"tm_record_start.exe",
                               dir_.path() / L"renovo.exe");
    settings_.path = dir_.str() + "\\tmere.ini";
    env_.siteAddress = server_.Address();
    env_.programFolder = dir_.str();
    env_.settings = &settings_;
    env_.timeoutMs = 1500;
  }
  void TearDown() override { SetMessageHook(nullptr); }

  void Serve(const std::string& body) {
    test::ScriptedReply reply;
    reply.body = body;
    server_.Set("/version.txt", reply);
  }
  std::string Stored() const { return settings_.GetSetting("general", "lastcheckupdate"); }
  // The updater records every start; starts are not waited for.
  std::string UpdaterStarts(unsigned waitMs) const {
    test::WaitUntil([&] { return !dir_.Read("started.txt").empty(); }, waitMs);
    return dir_.Read("started.txt");
  }

  test::LoopbackHttpServer server_;
  test::TempDir dir_;
  SettingsFile settings_;
  UpdateCheckEnv env_;
  std::vector<Shown> shown_;
  int answer_ = IDNO;
};

TEST_F(CheckVersionTest, ANewerVersionIsOfferedAndYesStartsTheUpdater) {
  Serve("5.3 word");
  answer_ = IDYES;
  CheckVersion(nullptr, false, env_);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, "A new version 5.3 is available for download now, would you like to download now?");
  EXPECT_EQ(shown_[0].title, "Tracemere");
  EXPECT_EQ(shown_[0].buttons, static_cast<UINT>(MB_YESNO));  // no icon
  EXPECT_EQ(UpdaterStarts(5000), "show=" + std::to_string(SW_SHOWMINIMIZED) + "\n");
  EXPECT_EQ(Stored(), FormatShortDate(LocalToday()));
  EXPECT_EQ(server_.RequestedPaths(), (std::vector<std::string>{"/version.txt"}));
}

TEST_F(CheckVersionTest, NoStillStoresTheDateAndStartsNothing) {
  Serve("6");
  CheckVersion(nullptr, true, env_);  // asked at start-up too
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, "A new version 6 is available for download now, would you like to download now?");
  EXPECT_EQ(Stored(), FormatShortDate(LocalToday()));
  EXPECT_EQ(UpdaterStarts(300), "");
}

TEST_F(CheckVersionTest, AMissingUpdaterShowsNothingAndTheDateIsStored) {
  std::filesystem::remove(dir_.path() / L"renovo.exe");
  Serve(" \t\n5.25");
  answer_ = IDYES;
  CheckVersion(nullptr, false, env_);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, "A new version 5.25 is available for download now, would you like to download now?");
  EXPECT_EQ(Stored(), FormatShortDate(LocalToday()));
}

struct BodyCase {
  const char* body;
  const char* askedMessage;  // nullptr: nothing shown
};

TEST_F(CheckVersionTest, BodiesWithoutANewerVersion) {
  const BodyCase cases[] = {
      {"5.2", "You are using the latest version 5.2 now"},
      {"5.1\r\n", "You are using the latest version 5.2 now"},
      {"", "You are using the latest version 5.2 now"},
      {"abc", "You are using the latest version 5.2 now"},
      {"1", "Failed to connect to server, please check your Internet connection"},
      {"1.0", "Failed to connect to server, please check your Internet connection"},
  };
  for (const BodyCase& c : cases) {
    Serve(c.body);
    for (bool autoCheck : {false, true}) {
      shown_.clear();
      CheckVersion(nullptr, autoCheck, env_);
      if (autoCheck) {
        EXPECT_TRUE(shown_.empty()) << c.body;
      } else {
        ASSERT_EQ(shown_.size(), 1u) << c.body;
        EXPECT_EQ(shown_[0].text, c.askedMessage) << c.body;
        EXPECT_EQ(shown_[0].buttons, static_cast<UINT>(MB_OK));
      }
    }
    EXPECT_EQ(Stored(), "1/1/2020") << c.body;
  }
  EXPECT_EQ(UpdaterStarts(100), "");
}

TEST_F(CheckVersionTest, RadixFormIsANumberToo) {
  Serve("&H6");
  CheckVersion(nullptr, false, env_);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, "A new version 6 is available for download now, would you like to download now?");
}

TEST_F(CheckVersionTest, FailuresReadAsAFailedConnection) {
  // 404 (the server's page is not a version), a refused connection, and a
  // server that never answers (the time-out is shortened here).
  test::ScriptedReply hang;
  hang.hang = true;
  server_.Set("/slow/version.txt", hang);
  const std::string sites[] = {
      server_.Address() + "/missing",
      "http://127.0.0.1:" + std::to_string(test::LoopbackHttpServer::RefusingPort()),
      server_.Address() + "/slow",
  };
  for (const std::string& site : sites) {
    env_.siteAddress = site;
    for (bool autoCheck : {false, true}) {
      shown_.clear();
      CheckVersion(nullptr, autoCheck, env_);
      if (autoCheck) {
        EXPECT_TRUE(shown_.empty()) << site;
      } else {
        ASSERT_EQ(shown_.size(), 1u) << site;
        EXPECT_EQ(shown_[0].text, "Failed to connect to server, please check your Internet connection");
      }
    }
  }
  EXPECT_EQ(Stored(), "1/1/2020");
}

// Registered again under LC_ALL=de_DE.UTF-8 (see the test registrations).
TEST_F(CheckVersionTest, LocaleDecimalSeparatorInTheQuestion) {
  Serve("5.3");
  CheckVersion(nullptr, false, env_);
  ASSERT_EQ(shown_.size(), 1u);
  std::string expected =
      "A new version 5" + UserDecimalSeparator() + "3 is available for download now, would you like to download now?";
  EXPECT_EQ(shown_[0].text, expected);
  if (GetUserDefaultLCID() == 0x0407) {
    EXPECT_EQ(shown_[0].text, "A new version 5,3 is available for download now, would you like to download now?");
  }
}

}  // namespace
}  // namespace tmr
