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
  // Made anew rather than truncated: a stale one, left by a run that ended
  // abruptly, goes first. Some file systems answer a truncated file's
  // closing by writing all of it out to disk there and then, which for a
  // large report takes longer than writing it did.
  DeleteFileW(temporary_.c_str());
  file_.reset(CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) {
    file_.reset(
        CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
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
  if (failed_) {
    Abandon();
    return false;
  }
  // An earlier file of the name is moved aside before the new one takes
  // the name, and deleted after: the same file systems answer a rename
  // over an existing file by writing the new one out to disk at once. If
  // it cannot be moved aside, it is replaced in one step.
  const std::wstring aside = target_ + L".replaced";
  bool movedAside = false;
  if (GetFileAttributesW(target_.c_str()) != INVALID_FILE_ATTRIBUTES) {
    DeleteFileW(aside.c_str());
    movedAside = MoveFileExW(target_.c_str(), aside.c_str(), 0) != FALSE;
  }
  if (!MoveFileExW(temporary_.c_str(), target_.c_str(), movedAside ? 0 : MOVEFILE_REPLACE_EXISTING)) {
    if (movedAside) MoveFileExW(aside.c_str(), target_.c_str(), 0);
    failed_ = true;
    Abandon();
    return false;
  }
  if (movedAside) DeleteFileW(aside.c_str());
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
