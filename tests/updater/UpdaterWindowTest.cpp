// The updater's window against a site on loopback, with message boxes and
// the shell captured through their seams.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/DialogLayout.h"
#include "platform/Dialogs.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"
#include "updater/UpdaterText.h"
#include "updater/UpdaterWindow.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

constexpr char kDownloadError[] =
    "Download error, you can check your Internet connection or just go to our website to download";

class UpdaterWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::path bin = test::TestProgramFolder();
    installer_ = test::ReadFileBytes(bin / L"tm_record_start.exe");
    signature_ = test::ReadFileBytes(bin / L"tm_record_start.exe.sig");
    otherSignature_ = test::ReadFileBytes(bin / L"tm_record_start.exe.othersig");
    Serve("/version.txt", "5.3\r\n");
    Serve("/tmeresetup.exe", installer_);
    Serve("/tmeresetup.exe.sig", signature_);
    config_.siteAddress = server_.Address();
    config_.publicKey = HexToBytes(TM_TEST_UPDATE_KEY).value();
    config_.folder = dir_.str();
    config_.timeoutMs = 3000;
    config_.endViewers = [this] { ++viewersEnded_; };
    SetMessageHook([this](HWND, const std::string& text, const std::string&, UINT buttons) {
      messages_.push_back(text);
      EXPECT_EQ(buttons, text == kCannotStart ? static_cast<UINT>(MB_OK) : static_cast<UINT>(MB_YESNO));
      return answer_;
    });
    SetShellOpenHook([this](HWND, const std::string& target, int show) {
      opened_.push_back(target + " show=" + std::to_string(show));
    });
  }
  void TearDown() override {
    window_.reset();
    SetMessageHook(nullptr);
    SetShellOpenHook(nullptr);
  }
  void Serve(const std::string& path, const std::string& body, int status = 200) {
    test::ScriptedReply reply;
    reply.body = body;
    reply.status = status;
    reply.reason = status == 200 ? "OK" : "Not Found";
    server_.Set(path, reply);
  }
  UpdaterWindow& Open() {
    window_ = std::make_unique<UpdaterWindow>(config_);
    EXPECT_TRUE(window_->Create(SW_SHOWNORMAL));
    EXPECT_TRUE(test::WaitUntil([&] { return !window_->SizeQueryRunning(); }, 8000));
    return *window_;
  }
  std::string Text(int id) { return WindowText(window_->Control(id)); }
  bool Enabled(int id) { return IsWindowEnabled(window_->Control(id)) != FALSE; }
  int Progress() {
    return static_cast<int>(SendMessageW(window_->Control(UpdaterWindow::kProgressBar), PBM_GETPOS, 0, 0));
  }
  bool InstallerOnDisk() { return fs::exists(dir_.path() / L"tmeresetup.exe"); }

  static constexpr char kCannotStart[] =
      "The installer could not be started. You can download Tracemere from our website instead.";

  test::LoopbackHttpServer server_;
  test::TempDir dir_;
  UpdaterConfig config_;
  std::unique_ptr<UpdaterWindow> window_;
  std::string installer_, signature_, otherSignature_;
  std::vector<std::string> messages_;
  std::vector<std::string> opened_;
  int answer_ = IDNO;
  int viewersEnded_ = 0;
};

TEST_F(UpdaterWindowTest, StartShowsVersionAndSize) {
  UpdaterWindow& window = Open();
  EXPECT_EQ(window.SetupUrl(), server_.Address() + "/tmeresetup.exe");
  EXPECT_EQ(Text(UpdaterWindow::kFileNameLabel), "File Name: tmeresetup.exe");
  EXPECT_EQ(Text(UpdaterWindow::kVersionLabel), "Version: 5.3\r\n");
  EXPECT_EQ(Text(UpdaterWindow::kSizeLabel), SizeText(static_cast<double>(installer_.size()), UserDecimalSeparator()));
  EXPECT_EQ(Text(UpdaterWindow::kStatusLabel), "");
  EXPECT_EQ(Text(UpdaterWindow::kDownloadButton), "Start Download");
  EXPECT_TRUE(Enabled(UpdaterWindow::kDownloadButton));
  EXPECT_FALSE(Enabled(UpdaterWindow::kInstallButton));
  EXPECT_NE(Text(UpdaterWindow::kWebsiteLink).find("visit our website"), std::string::npos);
  window.OpenWebsite();
  EXPECT_EQ(opened_, std::vector<std::string>{server_.Address() + " show=0"});
}

TEST_F(UpdaterWindowTest, ADownloadThatVerifiesEnablesInstallWhichEndsViewersAndStartsIt) {
  UpdaterWindow& window = Open();
  window.ToggleDownload();
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Text(UpdaterWindow::kDownloadButton), "Download");
  EXPECT_TRUE(Enabled(UpdaterWindow::kInstallButton));
  EXPECT_EQ(Progress(), 100);
  EXPECT_EQ(Text(UpdaterWindow::kPercentLabel), "100%");
  EXPECT_EQ(dir_.Read("tmeresetup.exe"), installer_);

  window.Install();
  EXPECT_EQ(viewersEnded_, 1);
  EXPECT_TRUE(test::WaitUntil([&] { return !dir_.Read("started.txt").empty(); }, 5000));
  EXPECT_EQ(dir_.Read("started.txt"), "show=" + std::to_string(SW_SHOWMINIMIZED) + "\n");
  EXPECT_EQ(window.hwnd(), nullptr);
}

TEST_F(UpdaterWindowTest, PressingDownloadAfterACompleteDownloadResets) {
  UpdaterWindow& window = Open();
  window.ToggleDownload();
  ASSERT_TRUE(Enabled(UpdaterWindow::kInstallButton));
  window.ToggleDownload();
  EXPECT_EQ(Text(UpdaterWindow::kDownloadButton), "Start Download");
  EXPECT_FALSE(Enabled(UpdaterWindow::kInstallButton));
  EXPECT_EQ(Progress(), 0);
}

TEST_F(UpdaterWindowTest, AnInstallerThatDoesNotVerifyIsDeletedAndNeverOffered) {
  const std::string badSignatures[] = {otherSignature_, "", "garbage"};
  for (const std::string& bad : badSignatures) {
    messages_.clear();
    Serve("/tmeresetup.exe.sig", bad);
    UpdaterWindow& window = Open();
    answer_ = IDYES;
    window.ToggleDownload();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("could not be verified"), std::string::npos);
    EXPECT_FALSE(Enabled(UpdaterWindow::kInstallButton));
    EXPECT_FALSE(InstallerOnDisk());
    EXPECT_EQ(opened_.back(), server_.Address() + " show=0");
  }
  // A missing signature file (404) too.
  messages_.clear();
  Serve("/tmeresetup.exe.sig", "not here", 404);
  UpdaterWindow& window = Open();
  window.ToggleDownload();
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(Enabled(UpdaterWindow::kInstallButton));
  // And a tampered installer under a good signature.
  messages_.clear();
  Serve("/tmeresetup.exe.sig", signature_);
  std::string tampered = installer_;
  tampered[100] ^= 1;
  Serve("/tmeresetup.exe", tampered);
  UpdaterWindow& again = Open();
  again.ToggleDownload();
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(Enabled(UpdaterWindow::kInstallButton));
  EXPECT_EQ(viewersEnded_, 0);
}

TEST_F(UpdaterWindowTest, AFileChangedAfterTheDownloadIsNotStarted) {
  UpdaterWindow& window = Open();
  window.ToggleDownload();
  ASSERT_TRUE(Enabled(UpdaterWindow::kInstallButton));
  dir_.Write("tmeresetup.exe", installer_ + "appended");
  window.Install();
  EXPECT_EQ(viewersEnded_, 0);
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_NE(window.hwnd(), nullptr);
  EXPECT_TRUE(dir_.Read("started.txt").empty());
}

TEST_F(UpdaterWindowTest, AnInstallerThatCannotStartShowsAMessageAndStays) {
  fs::path bin = test::TestProgramFolder();
  Serve("/tmeresetup.exe", test::ReadFileBytes(bin / L"not-a-program.txt"));
  Serve("/tmeresetup.exe.sig", test::ReadFileBytes(bin / L"not-a-program.txt.sig"));
  UpdaterWindow& window = Open();
  window.ToggleDownload();
  ASSERT_TRUE(Enabled(UpdaterWindow::kInstallButton));
  window.Install();
  EXPECT_EQ(messages_, std::vector<std::string>{kCannotStart});
  EXPECT_NE(window.hwnd(), nullptr);
}

TEST_F(UpdaterWindowTest, ADownloadErrorOffersTheSite) {
  Serve("/tmeresetup.exe", "gone", 404);
  UpdaterWindow& window = Open();
  answer_ = IDYES;
  window.ToggleDownload();
  EXPECT_EQ(messages_, std::vector<std::string>{kDownloadError});
  EXPECT_EQ(opened_, std::vector<std::string>{server_.Address() + " show=0"});
  EXPECT_EQ(Text(UpdaterWindow::kDownloadButton), "Download");
  EXPECT_EQ(Progress(), 0);
  EXPECT_FALSE(Enabled(UpdaterWindow::kInstallButton));

  answer_ = IDNO;
  messages_.clear();
  window.ToggleDownload();  // "Download" resets
  window.ToggleDownload();  // and starts again
  EXPECT_EQ(messages_, std::vector<std::string>{kDownloadError});
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_EQ(Text(UpdaterWindow::kDownloadButton), "Download");
}

TEST_F(UpdaterWindowTest, AnEndlessInstallerIsStoppedWithItsOwnMessage) {
  test::ScriptedReply endless;
  endless.sendContentLength = false;
  endless.body = std::string(64 * 1024, 'x');
  server_.Set("/tmeresetup.exe", endless);
  config_.maxDownloadBytes = 4096;
  UpdaterWindow& window = Open();
  window.ToggleDownload();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].rfind(FileDownloader::kTooLargeText, 0), 0u) << messages_[0];
  EXPECT_FALSE(InstallerOnDisk());
  EXPECT_FALSE(Enabled(UpdaterWindow::kInstallButton));
  EXPECT_EQ(Text(UpdaterWindow::kDownloadButton), "Download");
}

TEST_F(UpdaterWindowTest, AnUnreachableSiteDisablesDownloading) {
  config_.siteAddress = "http://127.0.0.1:" + std::to_string(test::LoopbackHttpServer::RefusingPort());
  Open();
  EXPECT_EQ(Text(UpdaterWindow::kStatusLabel), "Connecting error.");
  EXPECT_FALSE(Enabled(UpdaterWindow::kDownloadButton));
}

TEST_F(UpdaterWindowTest, AFailedSizeQueryDisablesDownloading) {
  test::ScriptedReply hang;
  hang.hang = true;
  server_.Set("/tmeresetup.exe", hang);
  config_.timeoutMs = 1000;
  Open();
  EXPECT_EQ(Text(UpdaterWindow::kVersionLabel), "Version: 5.3\r\n");
  EXPECT_EQ(Text(UpdaterWindow::kStatusLabel), "Connection error,please check your Internet connection");
  EXPECT_FALSE(Enabled(UpdaterWindow::kDownloadButton));
}

}  // namespace
}  // namespace tmr
