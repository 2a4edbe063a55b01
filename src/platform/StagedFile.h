// A file written beside its target, as "<target>.partial", and moved into
// the target's place only once it is complete (an earlier file of the name
// is moved aside as "<target>.replaced" meanwhile, then deleted), so a
// failure never leaves part of a file behind nor harms the file it was to
// replace. The report and the exported lists are written this way.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Handles.h"

namespace tmr {

class StagedFile {
 public:
  StagedFile();
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Creates the file beside the target; false when it cannot be.
  bool Create(const std::string& path);
  bool IsOpen() const { return static_cast<bool>(file_); }
  // Buffered; after a failed write nothing more is written.
  void Write(std::string_view bytes);
  // The first `bytes` bytes of a block its caller filled, written on a
  // thread of its own while the caller fills the next: `block` comes back
  // as an earlier block, to be overwritten (empty the first time; the
  // file's first block is written at once and comes back itself). Waits
  // while the block before still waits to be written.
  void WriteBlock(std::string& block, std::size_t bytes);
  // Turns each block handed over into the bytes written for it, on the
  // writing thread: `out` is that thread's own, kept from block to block.
  using BlockTransform = std::function<std::string_view(std::string_view block, std::vector<char>& out)>;
  // Before the first block.
  void SetBlockTransform(BlockTransform transform) { transform_ = std::move(transform); }
  // Writes what is buffered and puts the file in place; false on any
  // failure, with the temporary file deleted.
  bool Commit();
  // Closes and deletes the temporary file (nothing once committed).
  void Abandon();
  bool Failed() const { return failed_; }

 private:
  class BlockWriter;

  void WriteThrough(std::string_view bytes);
  void Flush();
  // Waits until every block handed over is written, and ends the thread.
  void FinishBlocks();

  std::wstring target_;
  std::wstring temporary_;
  UniqueFileHandle file_;
  std::string buffer_;
  std::unique_ptr<BlockWriter> blocks_;
  bool wroteFirstBlock_ = false;
  BlockTransform transform_;
  // Also set by the block writer's thread.
  std::atomic<bool> failed_ = false;
};

}  // namespace tmr
