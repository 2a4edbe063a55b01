#include "platform/StagedFile.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/WinText.h"

namespace tmr {
namespace {

constexpr size_t kBufferBytes = 1024 * 1024;

// All the bytes, a megabyte at a time: one write of a few megabytes took
// several times the processor time of the same bytes in megabyte writes
// under Wine. False on any failure.
bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written != chunk) return false;
    bytes.remove_prefix(chunk);
  }
  return true;
}

}  // namespace

// Writes the blocks it is handed to the file, in order, on a thread of its
// own: one block is written while at most one more waits.
class StagedFile::BlockWriter {
 public:
  BlockWriter(HANDLE file, std::atomic<bool>& failed, BlockTransform transform)
      : file_(file), failed_(failed), transform_(std::move(transform)), thread_([this] { Run(); }) {}

  ~BlockWriter() {
    {
      std::lock_guard lock(mutex_);
      ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  void Hand(std::string& block, std::size_t bytes) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !waiting_; });
    waiting_ = true;
    waitingBytes_ = bytes;
    std::swap(next_, block);
    std::swap(spare_, block);
    lock.unlock();
    changed_.notify_all();
  }

  // Returns once the thread has written every block handed over.
  void Drain() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !waiting_ && !writing_; });
  }

 private:
  void Run() {
    std::string block;
    std::vector<char> transformed;
    std::unique_lock lock(mutex_);
    while (true) {
      changed_.wait(lock, [this] { return waiting_ || ending_; });
      if (!waiting_) return;
      std::swap(block, next_);
      const std::size_t bytes = waitingBytes_;
      waiting_ = false;
      writing_ = true;
      lock.unlock();
      changed_.notify_all();
      // After a failed write nothing more is written.
      if (!failed_) {
        try {
          std::string_view written(block.data(), bytes);
          if (transform_) written = transform_(written, transformed);
          if (!WriteAll(file_, written)) failed_ = true;
        } catch (const std::exception&) {
          failed_ = true;  // no memory for the transformed block
        }
      }
      lock.lock();
      writing_ = false;
      if (spare_.empty()) std::swap(spare_, block);
      changed_.notify_all();
    }
  }

  HANDLE file_;
  std::atomic<bool>& failed_;
  BlockTransform transform_;
  std::mutex mutex_;
  std::condition_variable changed_;
  // The block waiting to be written, and one written already, given back
  // to the caller in exchange for the next.
  std::string next_;
  std::string spare_;
  std::size_t waitingBytes_ = 0;
  bool waiting_ = false;
  bool writing_ = false;
  bool ending_ = false;
  std::thread thread_;
};

StagedFile::StagedFile() = default;
StagedFile::~StagedFile() { Abandon(); }

bool StagedFile::Create(const std::string& path) {
  Abandon();
  failed_ = false;
  wroteFirstBlock_ = false;
  buffer_.clear();
  transform_ = nullptr;
  target_ = Widen(path);
  temporary_ = target_ + L".partial";
  // Made anew rather than truncated: a stale one, left by a run that ended
  // abruptly, goes first. Some file systems answer a truncated file's
  // closing by writing all of it out to disk there and then, which for a
  // large report takes longer than writing it did.
  DeleteFileW(temporary_.c_str());
  file_.reset(CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) {
    file_.reset(
        CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (!file_) {
    temporary_.clear();
    failed_ = true;
    return false;
  }
  return true;
}

void StagedFile::Write(std::string_view bytes) {
  if (failed_ || !file_) return;
  if (buffer_.size() + bytes.size() > kBufferBytes) Flush();
  // A large piece goes straight to the file rather than through the buffer.
  if (bytes.size() >= kBufferBytes) {
    WriteThrough(bytes);
  } else {
    buffer_.append(bytes);
  }
}

void StagedFile::WriteThrough(std::string_view bytes) {
  // In order: after any block handed over before.
  if (blocks_) blocks_->Drain();
  if (!failed_ && !WriteAll(file_.get(), bytes)) failed_ = true;
}

void StagedFile::WriteBlock(std::string& block, std::size_t bytes) {
  if (failed_ || !file_) return;
  if (!buffer_.empty()) Flush();
  auto writeHere = [&] {
    std::vector<char> transformed;
    std::string_view written(block.data(), bytes);
    WriteThrough(transform_ ? transform_(written, transformed) : written);
  };
  // The first block is written here and now: a file of one block, as most
  // exported lists are, then starts no thread, which under Wine costs more
  // than writing the block does.
  if (!wroteFirstBlock_) {
    wroteFirstBlock_ = true;
    writeHere();
    return;
  }
  if (!blocks_) {
    try {
      blocks_ = std::make_unique<BlockWriter>(file_.get(), failed_, transform_);
    } catch (const std::system_error&) {
      writeHere();  // no thread to be had
      return;
    }
  }
  blocks_->Hand(block, bytes);
}

void StagedFile::Flush() {
  WriteThrough(buffer_);
  buffer_.clear();
}

void StagedFile::FinishBlocks() { blocks_.reset(); }

bool StagedFile::Commit() {
  if (!file_) return false;
  Flush();
  FinishBlocks();
  file_.reset();
  if (failed_) {
    Abandon();
    return false;
  }
  // An earlier file of the name is moved aside before the new one takes
  // the name, and deleted after: the same file systems answer a rename
  // over an existing file by writing the new one out to disk at once. If
  // it cannot be moved aside, it is replaced in one step.
  const std::wstring aside = target_ + L".replaced";
  bool movedAside = false;
  if (GetFileAttributesW(target_.c_str()) != INVALID_FILE_ATTRIBUTES) {
    DeleteFileW(aside.c_str());
    movedAside = MoveFileExW(target_.c_str(), aside.c_str(), 0) != FALSE;
  }
  if (!MoveFileExW(temporary_.c_str(), target_.c_str(), movedAside ? 0 : MOVEFILE_REPLACE_EXISTING)) {
    if (movedAside) MoveFileExW(aside.c_str(), target_.c_str(), 0);
    failed_ = true;
    Abandon();
    return false;
  }
  if (movedAside) DeleteFileW(aside.c_str());
  temporary_.clear();
  return true;
}

void StagedFile::Abandon() {
  FinishBlocks();
  file_.reset();
  buffer_.clear();
  if (!temporary_.empty()) DeleteFileW(temporary_.c_str());
  temporary_.clear();
}

}  // namespace tmr
