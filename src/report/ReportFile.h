// The report file: UTF-16 little-endian with its byte-order mark, CR LF
// line ends, written through a buffer into a file beside the target that
// replaces the target only once everything is written (StagedFile), so a
// failure never leaves a partial report. The lines are gathered as UTF-8
// in blocks and widened on the thread that writes them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/StagedFile.h"

namespace tmr {

class ReportFile {
 public:
  // Creates the temporary file and writes the byte-order mark.
  bool Create(const std::string& path);
  void WriteLine(std::string_view utf8);
  // Writes what is buffered and puts the file in place; false on failure.
  bool Commit();
  // Closes and deletes the temporary file (nothing when committed).
  void Abandon() { file_.Abandon(); }
  bool Failed() const { return failed_ || file_.Failed(); }

 private:
  void Flush();
  // Where the next `bytes` bytes go, flushing or growing the buffer first.
  char* Room(size_t bytes);

  StagedFile file_;
  std::string buffer_;
  size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace tmr
