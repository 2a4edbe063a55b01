#include "updater/FileDownloader.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/Handles.h"
#include "platform/MessagePump.h"
#include "platform/WinText.h"
#include "updater/UpdaterText.h"

namespace tmr {
namespace {

constexpr size_t kChunkBytes = 1024;

std::string SystemErrorText(DWORD code) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n ? std::wstring(text, n) : L"Unknown error";
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
    message.pop_back();
  }
  return Narrow(message);
}

std::string WriteErrorText(DWORD code) {
  return "Cannot write file to disk.\r\rError " + std::to_string(code) + ": " + SystemErrorText(code);
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Free bytes on the drive of a "X:\..." path; nullopt for other paths.
std::optional<double> FreeSpaceOf(const std::string& destination) {
  if (destination.size() < 3 || destination.substr(1, 2) != ":\\") return std::nullopt;
  std::string root = destination.substr(0, destination.find('\\') + 1);
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(Widen(root).c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return static_cast<double>(available.QuadPart);
}

}  // namespace

void FileDownloader::RaiseError(const std::string& text) {
  if (onError) onError(text);
}

bool FileDownloader::Download(const std::string& url, const std::string& destination, const std::string& userName,
                              const std::string& password) {
  cancelled_ = false;
  stoppedAtMaximum_ = false;
  url_ = url;
  if (onEvent) onEvent("");
  PumpPendingMessages();

  const int64_t startOffset = 0;  // resuming is not offered
  int64_t expected = 0;
  int64_t received = 0;
  if (!inet_.Start(url, userName, password, "Range: bytes=" + std::to_string(startOffset) + "-\r\n")) {
    RaiseError("Error: the address " + url + " cannot be used occurred.");
    return Finish(received, expected, destination);
  }
  // Cancel() from the window closes nothing by itself; poll between waits.
  while (inet_.Running()) {
    if (cancelled_) return Finish(received, expected, destination);
    inet_.WaitWhileRunning(50);
  }
  if (cancelled_) return Finish(received, expected, destination);

  std::string header = inet_.HeaderLines();
  // No reply at all reads like a status of CR LF: no connection.
  std::string code = inet_.HasReply() ? StatusCodeText(header) : "\r\n";
  if (code == "204") {
    RaiseError("Nothing to download!");
    cancelled_ = true;
  } else if (code == "401") {
    RaiseError("Authorization failed!");
    cancelled_ = true;
  } else if (code == "404") {
    RaiseError("The file, \"" + url_ + "\" was not found!");
    cancelled_ = true;
  } else if (code == "\r\n") {
    RaiseError("Cannot establish connection.");
    cancelled_ = true;
  } else if (code != "200" && code != "206") {
    RaiseError("The server returned the following response:\r\r" + FirstHeaderLine(header));
    cancelled_ = true;
  }
  if (cancelled_) return Finish(received, expected, destination);

  // 0 when the reply gives no usable size: the body is then read to its
  // end (a server may stream it without one), up to the maximum.
  expected = ContentLengthValue(inet_.HeaderValue("Content-Length"));
  if (auto freeBytes = FreeSpaceOf(destination); freeBytes && *freeBytes < static_cast<double>(expected)) {
    RaiseError("There is not enough free space on disk for this file.");
    return Finish(received, expected, destination);
  }
  PumpPendingMessages();
  WriteBody(destination, expected, received);
  return Finish(received, expected, destination);
}

bool FileDownloader::WriteBody(const std::string& destination, int64_t& expected, int64_t& received) {
  size_t slash = destination.find_last_of('\\');
  if (slash != std::string::npos) {
    std::wstring folder = Widen(destination.substr(0, slash + 1));
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && !CreateDirectoryW(folder.c_str(), nullptr)) {
      RaiseError(WriteErrorText(GetLastError()));
      cancelled_ = true;
      return false;
    }
  }
  // The file is replaced, not written over: a shorter new file must not
  // keep the old file's tail.
  UniqueFileHandle file(CreateFileW(Widen(destination).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    RaiseError(WriteErrorText(GetLastError()));
    cancelled_ = true;
    return false;
  }
  // A known size ends the body even if the server sends on; an unknown one
  // may reach one byte past the maximum, which shows that it went beyond.
  const int64_t limit = expected > 0 ? expected : maximumBytes_ + 1;
  while (received < limit) {
    const int64_t wanted = std::min(static_cast<int64_t>(kChunkBytes), limit - received);
    std::vector<uint8_t> chunk = inet_.ReadChunk(static_cast<size_t>(wanted));
    // The body ends with an empty read; a short read is just what the
    // network had ready.
    if (chunk.empty()) break;
    if (expected == 0 && received + static_cast<int64_t>(chunk.size()) > maximumBytes_) {
      file.reset();
      DeleteFileW(Widen(destination).c_str());
      stoppedAtMaximum_ = true;
      RaiseError(kTooLargeText);
      cancelled_ = true;
      return false;
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) ||
        written != chunk.size()) {
      RaiseError(WriteErrorText(GetLastError()));
      cancelled_ = true;
      return false;
    }
    if (cancelled_) break;
    received += static_cast<int64_t>(chunk.size());
    if (onProgress) onProgress(PercentText(received, expected));
    PumpPendingMessages();
  }
  if (expected == 0 && !cancelled_) expected = received;
  return true;
}

bool FileDownloader::Finish(int64_t received, int64_t expected, const std::string& destination) {
  bool complete = false;
  if (received == expected) {
    if (!cancelled_) {
      if (onComplete) onComplete();
      complete = true;
    }
  } else if (!FileExists(destination)) {
    cancelled_ = true;
  } else if (!cancelled_) {
    RaiseError("The connection with the server was reset.");
  }
  inet_.Cancel();
  // A cancelled download is not reported as a success.
  return complete;
}

}  // namespace tmr
