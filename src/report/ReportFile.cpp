#include "report/ReportFile.h"

#include <cstring>

#include "core/TextUtil.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

constexpr size_t kBufferBytes = 1024 * 1024;

}  // namespace

bool ReportFile::Create(const std::string& path) {
  Abandon();
  failed_ = false;
  target_ = Widen(path);
  temporary_ = target_ + L".partial";
  file_.reset(
      CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) {
    temporary_.clear();
    failed_ = true;
    return false;
  }
  buffer_.resize(kBufferBytes);
  buffer_[0] = static_cast<char>(0xFF);
  buffer_[1] = static_cast<char>(0xFE);
  used_ = 2;
  return true;
}

char* ReportFile::Room(size_t bytes) {
  if (used_ + bytes > buffer_.size()) Flush();
  // A failed write leaves the buffer as it was: the room is made all the
  // same, and nothing more reaches the file.
  if (used_ + bytes > buffer_.size()) buffer_.resize(used_ + bytes);
  return buffer_.data() + used_;
}

void ReportFile::WriteLine(std::string_view utf8) {
  if (failed_ || !file_) return;
  // Most of a page is ASCII, which is widened straight into the buffer; a
  // line with other characters goes through the platform's conversion.
  const size_t bytes = (utf8.size() + 2) * 2;
  char* out = Room(bytes);
  if (WidenAscii(utf8, out)) {
    std::memcpy(out + utf8.size() * 2, "\r\0\n\0", 4);
    used_ += bytes;
  } else {
    std::wstring line = Widen(utf8);
    line += L"\r\n";
    const size_t wide = line.size() * sizeof(wchar_t);
    std::memcpy(Room(wide), line.data(), wide);
    used_ += wide;
  }
  if (used_ >= kBufferBytes) Flush();
}

void ReportFile::Flush() {
  if (failed_ || !file_ || used_ == 0) return;
  DWORD written = 0;
  if (!WriteFile(file_.get(), buffer_.data(), static_cast<DWORD>(used_), &written, nullptr) || written != used_) {
    failed_ = true;
  }
  used_ = 0;
}

bool ReportFile::Commit() {
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

void ReportFile::Abandon() {
  file_.reset();
  if (!temporary_.empty()) DeleteFileW(temporary_.c_str());
  temporary_.clear();
}

}  // namespace tmr
