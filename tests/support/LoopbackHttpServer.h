// A small HTTP/1.1 server on 127.0.0.1 for tests: each path answers with a
// scripted reply, which may also misbehave (never answer, cut the body,
// send it slowly).
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tmr::test {

struct ScriptedReply {
  int status = 200;
  std::string reason = "OK";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  bool sendContentLength = true;
  // Content-Length announces this many bytes when set (>= 0).
  int64_t announcedLength = -1;
  // Accept the request and never answer.
  bool hang = false;
  // Send the body in pieces of this size with a pause between them.
  size_t chunkBytes = 0;
  unsigned pauseMs = 0;
  // Close the connection (reset) after this many body bytes, when set.
  int64_t resetAfterBytes = -1;
};

class LoopbackHttpServer {
 public:
  // Listens on a free port, or on the given one.
  explicit LoopbackHttpServer(uint16_t port = 0);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // "http://127.0.0.1:PORT", no trailing "/".
  std::string Address() const;
  uint16_t Port() const { return port_; }

  void Set(const std::string& path, ScriptedReply reply);
  // Paths requested so far, and the request heads received.
  std::vector<std::string> RequestedPaths() const;
  std::vector<std::string> RequestHeads() const;

  // A port on which nothing listens (connections are refused).
  static uint16_t RefusingPort();

 private:
  void Run();
  void Serve(uintptr_t client);

  uintptr_t listener_ = ~uintptr_t{0};
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::map<std::string, ScriptedReply> replies_;
  std::vector<std::string> paths_;
  std::vector<std::string> heads_;
  std::vector<uintptr_t> held_;
  std::thread thread_;
};

}  // namespace tmr::test
