#include "platform/StagedFile.h"

#include <algorithm>

#include "platform/WinText.h"

namespace tmr {
namespace {

constexpr size_t kBufferBytes = 1024 * 1024;

}  // namespace

bool StagedFile::Create(const std::string& path) {
  Abandon();
  failed_ = false;
  buffer_.clear();
  target_ = Widen(path);
  temporary_ = target_ + L".partial";
  file_.reset(
      CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) {
    temporary_.clear();
    failed_ = true;
    return false;
  }
  return true;
}

void StagedFile::Write(std::string_view bytes) {
  if (failed_ || !file_) return;
  if (buffer_.size() + bytes.size() > kBufferBytes) Flush();
  // A large piece goes straight to the file rather than through the buffer.
  if (bytes.size() >= kBufferBytes) {
    WriteThrough(bytes);
  } else {
    buffer_.append(bytes);
  }
}

void StagedFile::WriteThrough(std::string_view bytes) {
  while (!failed_ && !bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file_.get(), bytes.data(), chunk, &written, nullptr) || written != chunk) failed_ = true;
    bytes.remove_prefix(chunk);
  }
}

void StagedFile::Flush() {
  WriteThrough(buffer_);
  buffer_.clear();
}

bool StagedFile::Commit() {
  if (!file_) return false;
  Flush();
  file_.reset();
  if (failed_ || !MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    failed_ = true;
    Abandon();
    return false;
  }
  temporary_.clear();
  return true;
}

void StagedFile::Abandon() {
  file_.reset();
  buffer_.clear();
  if (!temporary_.empty()) DeleteFileW(temporary_.c_str());
  temporary_.clear();
}

}  // namespace tmr
