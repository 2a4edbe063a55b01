// Reading the stores from disk. Every file is opened for reading only,
// sharing read, write and delete, because the programs that keep them
// (Internet Explorer, the browsers) hold them open while they run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Handles.h"

namespace tmr {

class SharedFileReader {
 public:
  // False when the file cannot be opened (missing, a folder, no access).
  bool Open(const std::string& path);
  // The length at the moment of the call; 0 when unknown.
  uint64_t Length() const;
  // Reads up to `count` bytes at `offset`; the number read (fewer at the end).
  size_t ReadAt(uint64_t offset, char* buffer, size_t count) const;

 private:
  UniqueFileHandle file_;
};

// At most maxBytes from the start of a file; nullopt when it cannot be
// opened or read.
std::optional<std::string> ReadFileHead(const std::string& path, size_t maxBytes);

// The whole file, or nullopt when it cannot be read or is longer than
// maxBytes (a container that large is not a real one).
std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes);

bool FileExists(const std::string& path);
// Whether the file is on a fixed local disk, where it may be mapped: a
// mapped page of a file on a network share or a removable disk that goes
// away faults instead of failing a read.
bool OnFixedDisk(const std::string& path);
// The file's length; nullopt when it is not there or is a folder.
std::optional<uint64_t> FileLength(const std::string& path);

// Copies a file that another program may hold open (for writing, too),
// into a new file; false when it cannot be read whole or written.
bool CopySharedFile(const std::string& from, const std::string& to);

// A folder of its own under the user's temporary folder, deleted with all
// it holds when this goes.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  bool Ready() const { return !path_.empty(); }
  // With a trailing "\".
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tmr
