#include "report/BackgroundRowSink.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "core/TextUtil.h"

namespace tmr {
namespace {

// A row's count that starts another list instead.
constexpr uint32_t kListStart = 0xFFFFFFFF;

template <typename T>
char* Put(char* to, T value) {
  __builtin_memcpy(to, &value, sizeof value);
  return to + sizeof value;
}

template <typename T>
T Take(const char*& from) {
  T value;
  __builtin_memcpy(&value, from, sizeof value);
  from += sizeof value;
  return value;
}

std::size_t PackedBytes(std::span<const CellValue> cells) {
  std::size_t bytes = sizeof(uint32_t);
  for (const CellValue& cell : cells) {
    bytes += 1 + (cell.Kind() == CellKind::kText ? sizeof(uint32_t) + cell.TextValue().size() : sizeof(int64_t));
  }
  return bytes;
}

}  // namespace

BackgroundRowSink::BackgroundRowSink(RowSink& next, std::size_t batchBytes)
    : next_(next), batchBytes_(std::max<std::size_t>(batchBytes, 64)) {}

BackgroundRowSink::~BackgroundRowSink() { StopThread(); }

bool BackgroundRowSink::MakeRoom(std::size_t bytes) {
  if (Filling().used > 0 && Filling().used + bytes > batchBytes_) SendFilling();
  // Made when first filled: most lists fill one batch, many none.
  if (!Filling().bytes) Filling().bytes.reset(new char[batchBytes_]);
  return bytes <= batchBytes_;
}

void BackgroundRowSink::AddRow(std::span<const CellValue> cells) {
  const std::size_t bytes = PackedBytes(cells);
  if (cells.size() >= kListStart || !MakeRoom(bytes)) {
    // Too long for any batch: handed on here, once the thread has handed
    // on every row before it.
    WaitForThread();
    next_.AddRow(cells);
    return;
  }
  Batch& batch = Filling();
  char* to = Put(batch.bytes.get() + batch.used, static_cast<uint32_t>(cells.size()));
  for (const CellValue& cell : cells) {
    *to++ = static_cast<char>(cell.Kind());
    if (cell.Kind() == CellKind::kText) {
      const std::string_view text = cell.TextValue();
      to = CopyShortText(Put(to, static_cast<uint32_t>(text.size())), text);
    } else {
      to = Put(to, cell.NumberValue());
    }
  }
  batch.used += bytes;
}

void BackgroundRowSink::BeginList() {
  MakeRoom(sizeof kListStart);
  Batch& batch = Filling();
  Put(batch.bytes.get() + batch.used, kListStart);
  batch.used += sizeof kListStart;
}

void BackgroundRowSink::HandOn(Batch& batch) {
  const char* from = batch.bytes.get();
  const char* const end = from + batch.used;
  constexpr uint32_t kOnStack = 16;
  CellValue onStack[kOnStack];
  while (from < end) {
    const auto count = Take<uint32_t>(from);
    if (count == kListStart) {
      next_.BeginList();
      continue;
    }
    CellValue* cells = onStack;
    if (count > kOnStack) {
      unpacked_.resize(count);
      cells = unpacked_.data();
    }
    for (uint32_t i = 0; i < count; ++i) {
      const auto kind = static_cast<CellKind>(*from++);
      if (kind == CellKind::kText) {
        const auto length = Take<uint32_t>(from);
        cells[i] = CellValue::Text(std::string_view(from, length));
        from += length;
      } else {
        const auto value = Take<int64_t>(from);
        cells[i] = kind == CellKind::kTime ? CellValue::Time(value) : CellValue::Number(value);
      }
    }
    next_.AddRow(std::span<const CellValue>(cells, count));
  }
}

void BackgroundRowSink::SendFilling() {
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread([this] { RunThread(); });
    } catch (const std::system_error&) {
      // No thread to be had: the rows are handed on here.
      HandOn(Filling());
      Filling().used = 0;
      return;
    }
  }
  std::unique_lock lock(mutex_);
  if (failure_) std::rethrow_exception(failure_);
  ++sent_;
  if (threadWaits_ && sent_ - done_ >= kWakeAt) threadChanged_.notify_one();
  // The next batch to fill is free once the thread has handed on the rows
  // it held before.
  if (sent_ - done_ >= kBatches) {
    callerWaits_ = true;
    callerChanged_.wait(lock, [this] { return sent_ - done_ < kBatches; });
    callerWaits_ = false;
  }
}

void BackgroundRowSink::WaitForThread() {
  std::unique_lock lock(mutex_);
  draining_ = true;
  if (threadWaits_) threadChanged_.notify_one();
  callerWaits_ = true;
  callerChanged_.wait(lock, [this] { return done_ == sent_; });
  callerWaits_ = false;
  draining_ = false;
  if (failure_) std::rethrow_exception(failure_);
}

void BackgroundRowSink::RunThread() {
  std::unique_lock lock(mutex_);
  while (true) {
    if (done_ == sent_) {
      if (ending_) return;
      threadWaits_ = true;
      threadChanged_.wait(lock, [this] {
        return sent_ - done_ >= kWakeAt || ending_ || (draining_ && done_ != sent_);
      });
      threadWaits_ = false;
      continue;
    }
    Batch& batch = batches_[done_ % kBatches];
    // After a failure the rows are dropped.
    const bool handOn = !failure_;
    lock.unlock();
    std::exception_ptr failed;
    if (handOn) {
      try {
        HandOn(batch);
      } catch (...) {
        failed = std::current_exception();
      }
    }
    batch.used = 0;
    lock.lock();
    if (failed) failure_ = failed;
    ++done_;
    if (callerWaits_) callerChanged_.notify_one();
  }
}

void BackgroundRowSink::StopThread() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  threadChanged_.notify_one();
  thread_.join();
  ending_ = false;
}

void BackgroundRowSink::Finish() {
  StopThread();
  if (failure_) std::rethrow_exception(failure_);
  HandOn(Filling());
  Filling().used = 0;
}

}  // namespace tmr
