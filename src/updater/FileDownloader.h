// The updater's download control: fetches one file over HTTP into a local
// file in 1024-byte chunks and tells what happens through its events.
// Writing stops at the size the reply announces; without a usable size the
// body is read to its end, but never past a maximum.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "updater/InetTransfer.h"
#include "updater/UpdaterText.h"

namespace tmr {

class FileDownloader {
 public:
  static constexpr char kTooLargeText[] =
      "The file is larger than any installer can be, so the download was stopped and the file deleted.";

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
  // The most a body of unknown size may hold (kMaxDownloadBytes unless set).
  void SetMaximumBytes(int64_t bytes) { maximumBytes_ = bytes; }
  // Whether the last download ended because a body of unknown size went
  // past the maximum (its file is deleted, and the error says so).
  bool StoppedAtMaximum() const { return stoppedAtMaximum_; }

 private:
  void RaiseError(const std::string& text);
  bool Finish(int64_t received, int64_t expected, const std::string& destination);
  // Writes the body; false after a write failure (already reported). An
  // unknown size (0) becomes the size that arrived.
  bool WriteBody(const std::string& destination, int64_t& expected, int64_t& received);

  InetTransfer inet_;
  bool cancelled_ = false;
  bool stoppedAtMaximum_ = false;
  int64_t maximumBytes_ = kMaxDownloadBytes;
  std::string url_;
};

}  // namespace tmr
