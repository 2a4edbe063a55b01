#include "platform/SharedFile.h"

#include <algorithm>
#include <vector>

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

bool OnFixedDisk(const std::string& path) {
  wchar_t volume[MAX_PATH] = {};
  if (!GetVolumePathNameW(Widen(path).c_str(), volume, MAX_PATH)) return false;
  return GetDriveTypeW(volume) == DRIVE_FIXED;
}

bool FileExists(const std::string& path) { return FileLength(path).has_value(); }

std::optional<uint64_t> FileLength(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool CopySharedFile(const std::string& from, const std::string& to) {
  SharedFileReader reader;
  if (!reader.Open(from)) return false;
  UniqueFileHandle out(
      CreateFileW(Widen(to).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return false;
  constexpr size_t kStep = size_t{1} << 20;
  std::vector<char> buffer(kStep);
  const uint64_t length = reader.Length();
  for (uint64_t at = 0; at < length;) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(kStep, length - at));
    const size_t got = reader.ReadAt(at, buffer.data(), want);
    DWORD written = 0;
    if (got == 0 || !WriteFile(out.get(), buffer.data(), static_cast<DWORD>(got), &written, nullptr) ||
        written != got) {
      return false;
    }
    at += got;
  }
  return true;
}

TemporaryFolder::TemporaryFolder() {
  wchar_t base[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, base);
  if (length == 0 || length > MAX_PATH) return;
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring folder =
        std::wstring(base) + L"tracemere-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(folder.c_str(), nullptr)) {
      path_ = Narrow(folder) + "\\";
      return;
    }
  }
}

TemporaryFolder::~TemporaryFolder() {
  if (path_.empty()) return;
  const std::wstring folder = Widen(path_);
  WIN32_FIND_DATAW entry{};
  UniqueFindHandle find(FindFirstFileW((folder + L"*").c_str(), &entry));
  if (find) {
    do {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + entry.cFileName).c_str());
    } while (FindNextFileW(find.get(), &entry));
  }
  find.reset();
  RemoveDirectoryW(folder.c_str());
}

}  // namespace tmr
