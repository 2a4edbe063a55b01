// Reading the Internet Explorer stores from disk. Every file is opened for
// reading only, sharing read, write and delete, because Internet Explorer
// keeps its containers open (and mapped) while it runs.
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

}  // namespace tmr
