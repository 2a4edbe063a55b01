// The download control against a scripted HTTP server on loopback.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "updater/FileDownloader.h"

namespace tmr {
namespace {

std::string Body(size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + i * 7 % 26);
  return body;
}

class FileDownloaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    downloader_.SetTimeoutMs(3000);
    downloader_.onError = [this](const std::string& e) { events_.push_back("error:" + e); };
    downloader_.onEvent = [this](const std::string& e) { events_.push_back("event:" + e); };
    downloader_.onComplete = [this] { events_.push_back("complete"); };
    downloader_.onProgress = [this](const std::string& p) {
      events_.push_back("progress:" + p);
      if (afterProgress_) afterProgress_();
    };
    destination_ = dir_.str() + "\\tmeresetup.exe";
  }
  bool Download(const std::string& path) {
    return downloader_.Download(server_.Address() + path, destination_, "", "");
  }
  bool FileExists() const { return std::filesystem::exists(dir_.path() / L"tmeresetup.exe"); }
  std::string File() const { return dir_.Read("tmeresetup.exe"); }
  std::vector<std::string> Errors() const {
    std::vector<std::string> errors;
    for (const auto& e : events_) {
      if (e.rfind("error:", 0) == 0) errors.push_back(e.substr(6));
    }
    return errors;
  }

  test::LoopbackHttpServer server_;
  test::TempDir dir_;
  FileDownloader downloader_;
  std::string destination_;
  std::vector<std::string> events_;
  std::function<void()> afterProgress_;
};

TEST_F(FileDownloaderTest, A200ReplyIsSavedWithProgressAndComplete) {
  test::ScriptedReply reply;
  reply.body = Body(3000);
  server_.Set("/tmeresetup.exe", reply);
  EXPECT_TRUE(Download("/tmeresetup.exe"));
  EXPECT_EQ(File(), reply.body);
  ASSERT_GE(events_.size(), 3u);
  EXPECT_EQ(events_.front(), "event:");
  EXPECT_EQ(events_[events_.size() - 2], "progress:100");
  EXPECT_EQ(events_.back(), "complete");
  EXPECT_TRUE(Errors().empty());
  // Every request asks for the whole file from byte 0.
  ASSERT_EQ(server_.RequestHeads().size(), 1u);
  EXPECT_NE(server_.RequestHeads()[0].find("Range: bytes=0-"), std::string::npos);
}

TEST_F(FileDownloaderTest, A206ReplyIsTreatedLikeA200) {
  test::ScriptedReply reply;
  reply.status = 206;
  reply.reason = "Partial Content";
  reply.body = Body(1500);
  server_.Set("/tmeresetup.exe", reply);
  EXPECT_TRUE(Download("/tmeresetup.exe"));
  EXPECT_EQ(File(), reply.body);
  EXPECT_EQ(events_.back(), "complete");
}

TEST_F(FileDownloaderTest, AShorterNewFileReplacesAnOldOneWhole) {
  dir_.Write("tmeresetup.exe", std::string(5000, 'X'));
  test::ScriptedReply reply;
  reply.body = Body(100);
  server_.Set("/tmeresetup.exe", reply);
  EXPECT_TRUE(Download("/tmeresetup.exe"));
  EXPECT_EQ(File(), reply.body);
}

TEST_F(FileDownloaderTest, ServerRepliesGiveOneExactMessageAndNoFile) {
  struct Case {
    int status;
    const char* reason;
    std::string message;
  };
  const std::string url = server_.Address() + "/tmeresetup.exe";
  const Case cases[] = {
      {204, "No Content", "Nothing to download!"},
      {401, "Unauthorized", "Authorization failed!"},
      {404, "Not Found", "The file, \"" + url + "\" was not found!"},
      {500, "Internal Server Error",
       "The server returned the following response:\r\rHTTP/1.1 500 Internal Server Error\r"},
  };
  for (const Case& c : cases) {
    events_.clear();
    test::ScriptedReply reply;
    reply.status = c.status;
    reply.reason = c.reason;
    reply.body = c.status == 204 ? "" : "error page";
    server_.Set("/tmeresetup.exe", reply);
    EXPECT_FALSE(Download("/tmeresetup.exe")) << c.status;
    EXPECT_EQ(Errors(), std::vector<std::string>{c.message}) << c.status;
    EXPECT_FALSE(FileExists()) << c.status;
    EXPECT_EQ(std::count(events_.begin(), events_.end(), "complete"), 0) << c.status;
  }
}

TEST_F(FileDownloaderTest, AMissingSiteCannotBeReached) {
  EXPECT_FALSE(downloader_.Download(
      "http://127.0.0.1:" + std::to_string(test::LoopbackHttpServer::RefusingPort()) + "/tmeresetup.exe", destination_,
      "", ""));
  EXPECT_EQ(Errors(), std::vector<std::string>{"Cannot establish connection."});
  EXPECT_FALSE(FileExists());
}

// Without a size it can use (none, below 0, beyond the maximum or 32 bits)
// the body is read to its end, and that is the size.
TEST_F(FileDownloaderTest, AnUnusableContentLengthReadsTheBodyToItsEnd) {
  for (const char* length : {"", "-5", "99999999999", "300000000"}) {
    events_.clear();
    test::ScriptedReply reply;
    reply.body = Body(3000);
    reply.sendContentLength = false;
    if (*length) reply.headers = {{"Content-Length", length}};
    server_.Set("/tmeresetup.exe", reply);
    EXPECT_TRUE(Download("/tmeresetup.exe")) << length;
    EXPECT_EQ(File(), reply.body) << length;
    EXPECT_TRUE(Errors().empty()) << length;
    EXPECT_EQ(events_.back(), "complete") << length;
    EXPECT_EQ(events_[events_.size() - 2], "progress:0") << length;
  }
}

TEST_F(FileDownloaderTest, ABodyOfUnknownSizeStopsPastTheMaximumAndSaysSo) {
  downloader_.SetMaximumBytes(8192);
  test::ScriptedReply reply;
  reply.sendContentLength = false;
  reply.body = Body(8192);
  server_.Set("/tmeresetup.exe", reply);
  EXPECT_TRUE(Download("/tmeresetup.exe"));
  EXPECT_EQ(File(), reply.body);
  EXPECT_FALSE(downloader_.StoppedAtMaximum());

  events_.clear();
  reply.body = Body(64 * 1024);
  server_.Set("/tmeresetup.exe", reply);
  EXPECT_FALSE(Download("/tmeresetup.exe"));
  EXPECT_EQ(Errors(), std::vector<std::string>{FileDownloader::kTooLargeText});
  EXPECT_TRUE(downloader_.StoppedAtMaximum());
  EXPECT_FALSE(FileExists());
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "progress:0"), 8);
}

TEST_F(FileDownloaderTest, ABodyCutShortIsAReset) {
  test::ScriptedReply reply;
  reply.body = Body(4000);
  reply.resetAfterBytes = 1500;
  server_.Set("/tmeresetup.exe", reply);
  EXPECT_FALSE(Download("/tmeresetup.exe"));
  EXPECT_EQ(Errors(), std::vector<std::string>{"The connection with the server was reset."});
  EXPECT_TRUE(FileExists());
  EXPECT_LT(File().size(), 4000u);
}

TEST_F(FileDownloaderTest, CancellingASlowBodyStopsQuietly) {
  test::ScriptedReply reply;
  reply.body = Body(20 * 1024);
  reply.chunkBytes = 1024;
  reply.pauseMs = 50;
  server_.Set("/tmeresetup.exe", reply);
  int progressEvents = 0;
  afterProgress_ = [&] {
    if (++progressEvents == 3) downloader_.Cancel();
  };
  EXPECT_FALSE(Download("/tmeresetup.exe"));
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "complete"), 0);
  EXPECT_EQ(progressEvents, 3);
  EXPECT_LT(File().size(), reply.body.size());
}

TEST_F(FileDownloaderTest, CancellingWhileWaitingForTheReplyLeavesNoFile) {
  test::ScriptedReply reply;
  reply.hang = true;
  server_.Set("/tmeresetup.exe", reply);
  static FileDownloader* target = nullptr;
  target = &downloader_;
  UINT_PTR timer = SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) { target->Cancel(); });
  EXPECT_FALSE(Download("/tmeresetup.exe"));
  KillTimer(nullptr, timer);
  EXPECT_TRUE(Errors().empty());
  EXPECT_FALSE(FileExists());
}

TEST_F(FileDownloaderTest, TheFolderIsCreatedOneLevelDeep) {
  test::ScriptedReply reply;
  reply.body = Body(10);
  server_.Set("/tmeresetup.exe", reply);
  destination_ = dir_.str() + "\\new\\tmeresetup.exe";
  EXPECT_TRUE(Download("/tmeresetup.exe"));
  EXPECT_EQ(dir_.Read("new/tmeresetup.exe"), reply.body);

  events_.clear();
  destination_ = dir_.str() + "\\a\\b\\tmeresetup.exe";
  EXPECT_FALSE(Download("/tmeresetup.exe"));
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0].rfind("Cannot write file to disk.\r\rError ", 0), 0u) << Errors()[0];
}

}  // namespace
}  // namespace tmr
