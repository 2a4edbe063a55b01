#include "platform/SharedFile.h"

#include <algorithm>

#include "platform/WinText.h"

namespace tmr {

bool SharedFileReader::Open(const std::string& path) {
  file_.reset(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file_) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(file_.get(), &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    file_.reset();
    return false;
  }
  return true;
}

uint64_t SharedFileReader::Length() const {
  LARGE_INTEGER size{};
  if (!file_ || !GetFileSizeEx(file_.get(), &size) || size.QuadPart < 0) return 0;
  return static_cast<uint64_t>(size.QuadPart);
}

size_t SharedFileReader::ReadAt(uint64_t offset, char* buffer, size_t count) const {
  size_t total = 0;
  while (file_ && total < count) {
    OVERLAPPED at{};
    uint64_t where = offset + total;
    at.Offset = static_cast<DWORD>(where);
    at.OffsetHigh = static_cast<DWORD>(where >> 32);
    DWORD want = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file_.get(), buffer + total, want, &got, &at) || got == 0) break;
    total += got;
  }
  return total;
}

std::optional<std::string> ReadFileHead(const std::string& path, size_t maxBytes) {
  SharedFileReader reader;
  if (!reader.Open(path)) return std::nullopt;
  std::string bytes(static_cast<size_t>(std::min<uint64_t>(reader.Length(), maxBytes)), '\0');
  bytes.resize(reader.ReadAt(0, bytes.data(), bytes.size()));
  return bytes;
}

std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes) {
  SharedFileReader reader;
  if (!reader.Open(path) || reader.Length() > maxBytes) return std::nullopt;
  std::string bytes(static_cast<size_t>(reader.Length()), '\0');
  bytes.resize(reader.ReadAt(0, bytes.data(), bytes.size()));
  return bytes;
}

}  // namespace tmr
