#include "report/ReportFile.h"

#include <cstring>

#include "core/TextUtil.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

constexpr size_t kBufferBytes = 1024 * 1024;

}  // namespace

bool ReportFile::Create(const std::string& path) {
  failed_ = !file_.Create(path);
  if (failed_) return false;
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
  if (Failed() || !file_.IsOpen()) return;
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
  if (Failed() || !file_.IsOpen() || used_ == 0) return;
  // Written while the next block is made in the one handed back.
  file_.WriteBlock(buffer_, used_);
  used_ = 0;
  if (buffer_.size() < kBufferBytes) buffer_.resize(kBufferBytes);
}

bool ReportFile::Commit() {
  if (!file_.IsOpen()) return false;
  Flush();
  failed_ = !file_.Commit();
  return !failed_;
}

}  // namespace tmr
