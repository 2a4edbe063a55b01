// The updater's download control: fetches one file over HTTP into a local
// file in 1024-byte chunks and tells what happens through its events.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "updater/InetTransfer.h"

namespace tmr {

class FileDownloader {
 public:
  // What happens during Download. Error texts are ready to show; onEvent
  // gets an empty text as the download begins; the percent is a whole
  // number as text.
  std::function<void(const std::string& error)> onError;
  std::function<void(const std::string& event)> onEvent;
  std::function<void()> onComplete;
  std::function<void(const std::string& percent)> onProgress;

  // True when the whole file arrived and the download was not cancelled.
  // Returns when the download has ended; messages run meanwhile.
  bool Download(const std::string& url, const std::string& destination, const std::string& userName,
                const std::string& password);
  void Cancel() { cancelled_ = true; }
  bool Cancelled() const { return cancelled_; }

  void SetTimeoutMs(uint32_t ms) { inet_.SetTimeoutMs(ms); }

 private:
  void RaiseError(const std::string& text);
  bool Finish(int64_t received, int64_t expected, const std::string& destination);
  // Writes the body; false after a write failure (already reported).
  bool WriteBody(const std::string& destination, int64_t expected, int64_t& received);

  InetTransfer inet_;
  bool cancelled_ = false;
  std::string url_;
};

}  // namespace tmr
