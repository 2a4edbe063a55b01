// A file written beside its target, as "<target>.partial", and moved into
// the target's place only once it is complete, so a failure never leaves
// part of a file behind nor harms the file it was to replace. The report
// and the exported lists are written this way.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Handles.h"

namespace tmr {

class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile() { Abandon(); }
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Creates the file beside the target; false when it cannot be.
  bool Create(const std::string& path);
  bool IsOpen() const { return static_cast<bool>(file_); }
  // Buffered; after a failed write nothing more is written.
  void Write(std::string_view bytes);
  // Writes what is buffered and puts the file in place; false on any
  // failure, with the temporary file deleted.
  bool Commit();
  // Closes and deletes the temporary file (nothing once committed).
  void Abandon();
  bool Failed() const { return failed_; }

 private:
  void WriteThrough(std::string_view bytes);
  void Flush();

  std::wstring target_;
  std::wstring temporary_;
  UniqueFileHandle file_;
  std::string buffer_;
  bool failed_ = false;
};

}  // namespace tmr
