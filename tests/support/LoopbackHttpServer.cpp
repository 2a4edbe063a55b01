#include "support/LoopbackHttpServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <stdexcept>

namespace tmr::test {
namespace {

struct WinsockInit {
  WinsockInit() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
};

void EnsureWinsock() { static WinsockInit init; }

SOCKET ListenOnLoopback(uint16_t& port) {
  uint16_t wanted = port;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) throw std::runtime_error("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(wanted);
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(s, 16) != 0) {
    closesocket(s);
    throw std::runtime_error("bind/listen");
  }
  int length = sizeof(address);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return s;
}

bool SendAll(SOCKET s, const char* data, size_t size) {
  while (size > 0) {
    int sent = send(s, data, static_cast<int>(size), 0);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(uint16_t port) : port_(port) {
  EnsureWinsock();
  listener_ = ListenOnLoopback(port_);
  thread_ = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stop_ = true;
  closesocket(listener_);
  thread_.join();
  for (uintptr_t s : held_) closesocket(s);
}

std::string LoopbackHttpServer::Address() const { return "http://127.0.0.1:" + std::to_string(port_); }

void LoopbackHttpServer::Set(const std::string& path, ScriptedReply reply) {
  std::lock_guard lock(mutex_);
  replies_[path] = std::move(reply);
}

std::vector<std::string> LoopbackHttpServer::RequestedPaths() const {
  std::lock_guard lock(mutex_);
  return paths_;
}

std::vector<std::string> LoopbackHttpServer::RequestHeads() const {
  std::lock_guard lock(mutex_);
  return heads_;
}

uint16_t LoopbackHttpServer::RefusingPort() {
  EnsureWinsock();
  uint16_t port = 0;
  SOCKET s = ListenOnLoopback(port);
  closesocket(s);
  return port;
}

void LoopbackHttpServer::Run() {
  while (!stop_) {
    fd_set read;
    FD_ZERO(&read);
    FD_SET(static_cast<SOCKET>(listener_), &read);
    timeval wait{0, 100000};
    if (select(0, &read, nullptr, nullptr, &wait) <= 0) continue;
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    Serve(client);
  }
}

void LoopbackHttpServer::Serve(uintptr_t client) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    int got = recv(client, buffer, sizeof(buffer), 0);
    if (got <= 0) break;
    head.append(buffer, static_cast<size_t>(got));
  }
  size_t start = head.find(' ');
  size_t end = start == std::string::npos ? std::string::npos : head.find(' ', start + 1);
  std::string path = end == std::string::npos ? "" : head.substr(start + 1, end - start - 1);

  ScriptedReply reply;
  {
    std::lock_guard lock(mutex_);
    paths_.push_back(path);
    heads_.push_back(head.substr(0, head.find("\r\n\r\n")));
    auto it = replies_.find(path);
    if (it != replies_.end()) {
      reply = it->second;
    } else {
      reply.status = 404;
      reply.reason = "Not Found";
      reply.body = "<html><body>not found</body></html>";
    }
    if (reply.hang) {
      held_.push_back(client);
      return;
    }
  }

  std::string response = "HTTP/1.1 " + std::to_string(reply.status) + " " + reply.reason + "\r\n";
  for (const auto& [name, value] : reply.headers) response += name + ": " + value + "\r\n";
  if (reply.sendContentLength) {
    int64_t length = reply.announcedLength >= 0 ? reply.announcedLength : static_cast<int64_t>(reply.body.size());
    response += "Content-Length: " + std::to_string(length) + "\r\n";
  }
  response += "Connection: close\r\n\r\n";
  SendAll(client, response.data(), response.size());

  size_t limit = reply.body.size();
  if (reply.resetAfterBytes >= 0) limit = std::min(limit, static_cast<size_t>(reply.resetAfterBytes));
  size_t piece = reply.chunkBytes ? reply.chunkBytes : limit;
  for (size_t at = 0; at < limit && !stop_; at += piece) {
    if (!SendAll(client, reply.body.data() + at, std::min(piece, limit - at))) break;
    if (reply.pauseMs) Sleep(reply.pauseMs);
  }
  if (reply.resetAfterBytes >= 0) {
    linger hard{1, 0};  // a reset, not an orderly close
    setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof(hard));
  } else {
    shutdown(client, SD_SEND);
  }
  closesocket(client);
}

}  // namespace tmr::test
