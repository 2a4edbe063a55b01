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
    form_.reset();
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
    form_ = std::make_unique<UpdaterWindow>(config_);
    EXPECT_TRUE(form_->Create(SW_SHOWNORMAL));
    EXPECT_TRUE(test::WaitUntil([&] { return !form_->SizeQueryRunning(); }, 8000));
    return *form_;
  }
  std::string Text(int id) { return WindowText(form_->Control(id)); }
  bool Enabled(int id) { return IsWindowEnabled(form_->Control(id)) != FALSE; }
  int Progress() {
    return static_cast<int>(SendMessageW(form_->Control(UpdaterWindow::kProgressBar), PBM_GETPOS, 0, 0));
  }
  bool InstallerOnDisk() { return fs::exists(dir_.path() / L"tmeresetup.exe"); }

  static constexpr char kCannotStart[] =
      "The installer could not be started. You can download Tracemere from our website instead.";

  test::LoopbackHttpServer server_;
  test::TempDir dir_;
  UpdaterConfig config_;
  std::unique_ptr<UpdaterWindow> form_;
  std::string installer_, signature_, otherSignature_;
  std::vector<std::string> messages_;
  std::vector<std::string> opened_;
  int answer_ = IDNO;
  int viewersEnded_ = 0;
};

TEST_F(UpdaterWindowTest, StartShowsVersionAndSize) {
  UpdaterWindow& form = Open();
  EXPECT_EQ(form.SetupURL(), server_.Address() + "/tmeresetup.exe");
  EXPECT_EQ(Text(UpdaterWindow::kLabel), "File Name: tmeresetup.exe");
  EXPECT_EQ(Text(UpdaterWindow::kLabel3), "Version: 5.3\r\n");
  EXPECT_EQ(Text(UpdaterWindow::kLabel1), SizeText(static_cast<double>(installer_.size()), UserDecimalSeparator()));
  EXPECT_EQ(Text(UpdaterWindow::kLabel5), "");
  EXPECT_EQ(Text(UpdaterWindow::kCommand), "Start Download");
  EXPECT_TRUE(Enabled(UpdaterWindow::kCommand));
  EXPECT_FALSE(Enabled(UpdaterWindow::kCommand1));
  EXPECT_NE(Text(UpdaterWindow::kLabel4).find("visit our website"), std::string::npos);
  form.ClickLabel4();
  EXPECT_EQ(opened_, std::vector<std::string>{server_.Address() + " show=0"});
}

TEST_F(UpdaterWindowTest, ADownloadThatVerifiesEnablesInstallWhichEndsViewersAndStartsIt) {
  UpdaterWindow& form = Open();
  form.PressCommand();
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Text(UpdaterWindow::kCommand), "Download");
  EXPECT_TRUE(Enabled(UpdaterWindow::kCommand1));
  EXPECT_EQ(Progress(), 100);
  EXPECT_EQ(Text(UpdaterWindow::kLabel2), "100%");
  EXPECT_EQ(dir_.Read("tmeresetup.exe"), installer_);

  form.PressCommand1();
  EXPECT_EQ(viewersEnded_, 1);
  EXPECT_TRUE(test::WaitUntil([&] { return !dir_.Read("started.txt").empty(); }, 5000));
  EXPECT_EQ(dir_.Read("started.txt"), "show=" + std::to_string(SW_SHOWMINIMIZED) + "\n");
  EXPECT_EQ(form.hwnd(), nullptr);
}

TEST_F(UpdaterWindowTest, PressingDownloadAfterACompleteDownloadResets) {
  UpdaterWindow& form = Open();
  form.PressCommand();
  ASSERT_TRUE(Enabled(UpdaterWindow::kCommand1));
  form.PressCommand();
  EXPECT_EQ(Text(UpdaterWindow::kCommand), "Start Download");
  EXPECT_FALSE(Enabled(UpdaterWindow::kCommand1));
  EXPECT_EQ(Progress(), 0);
}

TEST_F(UpdaterWindowTest, AnInstallerThatDoesNotVerifyIsDeletedAndNeverOffered) {
  const std::string badSignatures[] = {otherSignature_, "", "garbage"};
  for (const std::string& bad : badSignatures) {
    messages_.clear();
    Serve("/tmeresetup.exe.sig", bad);
    UpdaterWindow& form = Open();
    answer_ = IDYES;
    form.PressCommand();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("could not be verified"), std::string::npos);
    EXPECT_FALSE(Enabled(UpdaterWindow::kCommand1));
    EXPECT_FALSE(InstallerOnDisk());
    EXPECT_EQ(opened_.back(), server_.Address() + " show=0");
  }
  // A missing signature file (404) too.
  messages_.clear();
  Serve("/tmeresetup.exe.sig", "not here", 404);
  UpdaterWindow& form = Open();
  form.PressCommand();
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(Enabled(UpdaterWindow::kCommand1));
  // And a tampered installer under a good signature.
  messages_.clear();
  Serve("/tmeresetup.exe.sig", signature_);
  std::string tampered = installer_;
  tampered[100] ^= 1;
  Serve("/tmeresetup.exe", tampered);
  UpdaterWindow& again = Open();
  again.PressCommand();
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(Enabled(UpdaterWindow::kCommand1));
  EXPECT_EQ(viewersEnded_, 0);
}

TEST_F(UpdaterWindowTest, AFileChangedAfterTheDownloadIsNotStarted) {
  UpdaterWindow& form = Open();
  form.PressCommand();
  ASSERT_TRUE(Enabled(UpdaterWindow::kCommand1));
  dir_.Write("tmeresetup.exe", installer_ + "appended");
  form.PressCommand1();
  EXPECT_EQ(viewersEnded_, 0);
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_NE(form.hwnd(), nullptr);
  EXPECT_TRUE(dir_.Read("started.txt").empty());
}

TEST_F(UpdaterWindowTest, AnInstallerThatCannotStartShowsAMessageAndStays) {
  fs::path bin = test::TestProgramFolder();
  Serve("/tmeresetup.exe", test::ReadFileBytes(bin / L"not-a-program.txt"));
  Serve("/tmeresetup.exe.sig", test::ReadFileBytes(bin / L"not-a-program.txt.sig"));
  UpdaterWindow& form = Open();
  form.PressCommand();
  ASSERT_TRUE(Enabled(UpdaterWindow::kCommand1));
  form.PressCommand1();
  EXPECT_EQ(messages_, std::vector<std::string>{kCannotStart});
  EXPECT_NE(form.hwnd(), nullptr);
}

TEST_F(UpdaterWindowTest, ADownloadErrorOffersTheSite) {
  Serve("/tmeresetup.exe", "gone", 404);
  UpdaterWindow& form = Open();
  answer_ = IDYES;
  form.PressCommand();
  EXPECT_EQ(messages_, std::vector<std::string>{kDownloadError});
  EXPECT_EQ(opened_, std::vector<std::string>{server_.Address() + " show=0"});
  EXPECT_EQ(Text(UpdaterWindow::kCommand), "Download");
  EXPECT_EQ(Progress(), 0);
  EXPECT_FALSE(Enabled(UpdaterWindow::kCommand1));

  answer_ = IDNO;
  messages_.clear();
  form.PressCommand();  // "Download" resets
  form.PressCommand();  // and starts again
  EXPECT_EQ(messages_, std::vector<std::string>{kDownloadError});
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_EQ(Text(UpdaterWindow::kCommand), "Download");
}

TEST_F(UpdaterWindowTest, AnUnreachableSiteDisablesDownloading) {
  config_.siteAddress = "http://127.0.0.1:" + std::to_string(test::LoopbackHttpServer::RefusingPort());
  Open();
  EXPECT_EQ(Text(UpdaterWindow::kLabel5), "Connecting error.");
  EXPECT_FALSE(Enabled(UpdaterWindow::kCommand));
}

TEST_F(UpdaterWindowTest, AFailedSizeQueryDisablesDownloading) {
  test::ScriptedReply hang;
  hang.hang = true;
  server_.Set("/tmeresetup.exe", hang);
  config_.timeoutMs = 1000;
  Open();
  EXPECT_EQ(Text(UpdaterWindow::kLabel3), "Version: 5.3\r\n");
  EXPECT_EQ(Text(UpdaterWindow::kLabel5), "Connection error,please check your Internet connection");
  EXPECT_FALSE(Enabled(UpdaterWindow::kCommand));
}

}  // namespace
}  // namespace tmr
