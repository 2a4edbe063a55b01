// Rows handed on to another sink on a thread of their own, so that reading a
// store and what its rows become (an export's formatting and writing) run
// at once on two processors. Each row is copied into a batch; a full batch
// goes to the thread while the next one fills, and the reading waits only
// when the thread is every batch behind, so memory stays bounded however
// many rows come. A read whose rows fit in one batch starts no thread: they
// are handed on where Finish is called.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "readers/RowSink.h"

namespace tmr {

class BackgroundRowSink final : public RowSink {
 public:
  static constexpr std::size_t kBatchBytes = 512 * 1024;
  // `next` is used by the thread from the first full batch until Finish
  // returns, and by nobody else meanwhile.
  explicit BackgroundRowSink(RowSink& next, std::size_t batchBytes = kBatchBytes);
  // Without Finish, the rows not yet given to the thread are dropped.
  ~BackgroundRowSink() override;
  BackgroundRowSink(const BackgroundRowSink&) = delete;
  BackgroundRowSink& operator=(const BackgroundRowSink&) = delete;

  using RowSink::AddRow;
  // Throws what the next sink threw, once it has thrown: the rows after
  // that are not handed on.
  void AddRow(std::span<const CellValue> cells) override;
  void BeginList() override;
  // Hands on every row still held and returns once the next sink has taken
  // them all; throws what the next sink threw.
  void Finish();

 private:
  // Rows in the order they came, packed: each row its count of cells,
  // then each cell its kind and its number or its text's length and
  // bytes; the start of another list is a row of no count.
  struct Batch {
    std::unique_ptr<char[]> bytes;
    std::size_t used = 0;
  };
  // One batch filling, the others waiting for the thread or being handed
  // on by it. A thread that has caught up is woken only once several
  // batches wait, and then hands them all on: each wake costs the reading
  // a call into the system (under some runtimes a round trip to another
  // process), and the thread is faster than the reading most of the time.
  static constexpr std::size_t kBatches = 6;
  static constexpr std::size_t kWakeAt = 5;

  Batch& Filling() { return batches_[sent_ % kBatches]; }
  // Room for a row of `bytes` packed bytes in the batch being filled,
  // sending it first when full; false when no batch can hold the row.
  bool MakeRoom(std::size_t bytes);
  void HandOn(Batch& batch);
  void SendFilling();
  // Waits until the thread has handed on every batch; throws what the
  // next sink threw.
  void WaitForThread();
  void RunThread();
  // Ends the thread once it has handed on every batch given to it.
  void StopThread();

  RowSink& next_;
  const std::size_t batchBytes_;
  std::array<Batch, kBatches> batches_;
  // The cells of a wide row being handed on, by whichever thread hands on.
  std::vector<CellValue> unpacked_;
  std::mutex mutex_;
  std::condition_variable threadChanged_;
  std::condition_variable callerChanged_;
  // Under mutex_: the batches given to the thread and those it handed on
  // (batch n is batches_[n % kBatches]); the caller fills batch sent_.
  std::size_t sent_ = 0;
  std::size_t done_ = 0;
  bool threadWaits_ = false;
  bool callerWaits_ = false;
  // The caller waits for every batch: the thread hands on even one.
  bool draining_ = false;
  bool ending_ = false;
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace tmr
