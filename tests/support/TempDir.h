// A fresh folder under the system's temp folder, removed with its contents
// when the object goes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tmr::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder's path as UTF-8 text, with the platform's separators.
  std::string str() const;
  // Writes bytes to a file below the folder, creating subfolders.
  std::filesystem::path Write(std::string_view relative, std::string_view bytes) const;
  std::string Read(std::string_view relative) const;

 private:
  std::filesystem::path path_;
};

// The bytes of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);

}  // namespace tmr::test
