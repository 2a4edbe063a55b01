#include "report/ReportFile.h"

#include <algorithm>

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
  file_.reset(CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
  if (!file_) {
    temporary_.clear();
    failed_ = true;
    return false;
  }
  buffer_.clear();
  buffer_.reserve(kBufferBytes);
  buffer_.push_back(static_cast<char>(0xFF));
  buffer_.push_back(static_cast<char>(0xFE));
  return true;
}

void ReportFile::WriteLine(std::string_view utf8) {
  if (failed_ || !file_) return;
  // Most of a page is ASCII, which goes straight into the buffer; a line
  // with other characters goes through the platform's conversion.
  bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) {
    size_t at = buffer_.size();
    buffer_.resize(at + (utf8.size() + 2) * 2);
    char* out = buffer_.data() + at;
    for (char c : utf8) {
      *out++ = c;
      *out++ = '\0';
    }
    *out++ = '\r';
    *out++ = '\0';
    *out++ = '\n';
    *out++ = '\0';
  } else {
    std::wstring line = Widen(utf8);
    line += L"\r\n";
    for (wchar_t c : line) {
      buffer_.push_back(static_cast<char>(c & 0xFF));
      buffer_.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
  }
  if (buffer_.size() >= kBufferBytes) Flush();
}

void ReportFile::Flush() {
  if (failed_ || !file_ || buffer_.empty()) return;
  DWORD written = 0;
  if (!WriteFile(file_.get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), &written, nullptr) ||
      written != buffer_.size()) {
    failed_ = true;
  }
  buffer_.clear();
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
