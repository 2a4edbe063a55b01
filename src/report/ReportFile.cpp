#include "report/ReportFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/TextUtil.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

constexpr size_t kBufferBytes = 1024 * 1024;

// A block's lines, each its length and its UTF-8 bytes, as they go into
// the file: UTF-16, each with CR LF. Most of a page is ASCII, which is
// widened straight into the output; a line with other characters goes
// through the platform's conversion.
std::string_view WidenLines(std::string_view block, std::vector<char>& out) {
  // A line of n bytes is at most n UTF-16 units: twice its bytes and its
  // length's together hold it and its CR LF.
  if (out.size() < block.size() * 2) out.resize(block.size() * 2);
  char* p = out.data();
  for (std::size_t at = 0; at + 4 <= block.size();) {
    uint32_t length = 0;
    std::memcpy(&length, block.data() + at, 4);
    const std::string_view line = block.substr(at + 4, length);
    at += 4 + line.size();
    if (WidenAscii(line, p)) {
      p += line.size() * 2;
    } else {
      const std::wstring wide = Widen(line);
      std::memcpy(p, wide.data(), wide.size() * sizeof(wchar_t));
      p += wide.size() * sizeof(wchar_t);
    }
    std::memcpy(p, "\r\0\n\0", 4);
    p += 4;
  }
  return {out.data(), static_cast<std::size_t>(p - out.data())};
}

}  // namespace

bool ReportFile::Create(const std::string& path) {
  failed_ = !file_.Create(path);
  if (failed_) return false;
  // The lines are widened on the thread that writes them.
  file_.SetBlockTransform(WidenLines);
  file_.Write("\xFF\xFE");
  buffer_.resize(kBufferBytes);
  used_ = 0;
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
  // A line is kept whole in one block (see WidenLines).
  const auto length = static_cast<uint32_t>(std::min<std::size_t>(utf8.size(), UINT32_MAX));
  char* out = Room(4 + std::size_t{length});
  std::memcpy(out, &length, 4);
  CopyShortText(out + 4, utf8.substr(0, length));
  used_ += 4 + std::size_t{length};
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
