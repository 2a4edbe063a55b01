// One HTTP GET over WinINet whose blocking steps (connecting and sending,
// reading a piece of the body) run on a short-lived worker while the
// window thread keeps pumping messages: the caller polls Running and reads
// chunks, and the window stays live (its Cancel button included) meanwhile.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tmr {

class InetTransfer {
 public:
  struct State;

  InetTransfer();
  ~InetTransfer();
  InetTransfer(const InetTransfer&) = delete;
  InetTransfer& operator=(const InetTransfer&) = delete;

  // Starts the request; returns at once. extraHeaders are "Name: value\r\n"
  // lines. False when the address cannot be used at all.
  bool Start(const std::string& url, const std::string& userName, const std::string& password,
             const std::string& extraHeaders);
  bool Running() const;
  // Lets messages run for up to ms milliseconds, returning as soon as the
  // request has a reply or has failed.
  void WaitWhileRunning(uint32_t ms);
  // Whether a reply arrived (status line and headers).
  bool HasReply() const;
  // Every header line of the reply, each ended by CR LF; "" without one.
  std::string HeaderLines() const;
  // One header's value, or "".
  std::string HeaderValue(const std::string& name) const;
  // Reads up to `size` bytes of the body, pumping messages while it waits.
  // Empty at the end of the body, on an error, or once cancelled.
  std::vector<uint8_t> ReadChunk(size_t size);
  // Abandons the request: blocked steps return soon, handles are closed.
  void Cancel();

  // Shortens the time-outs (tests); the platform's 60 s otherwise.
  void SetTimeoutMs(uint32_t ms) { timeoutMs_ = ms; }

 private:
  std::shared_ptr<State> state_;
  uint32_t timeoutMs_;
};

}  // namespace tmr
