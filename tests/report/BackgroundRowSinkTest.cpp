#include "report/BackgroundRowSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tmr {
namespace {

// Each row as "text|number|time" cells joined by ";", a list's start as
// "(list)", with the thread that handed each one over.
class Recorder final : public RowSink {
 public:
  using RowSink::AddRow;
  void AddRow(std::span<const CellValue> cells) override {
    if (throwAt && seen.size() == *throwAt) throw std::runtime_error("no room");
    std::string row;
    for (const CellValue& cell : cells) {
      row += std::to_string(static_cast<int>(cell.Kind()));
      row += cell.Kind() == CellKind::kText ? std::string(cell.TextValue()) : std::to_string(cell.NumberValue());
      row += ';';
    }
    Seen(row);
  }
  void BeginList() override { Seen("(list)"); }

  std::vector<std::string> seen;
  std::vector<std::thread::id> threads;
  std::optional<std::size_t> throwAt;

 private:
  void Seen(std::string what) {
    seen.push_back(std::move(what));
    threads.push_back(std::this_thread::get_id());
  }
};

// Rows of every kind and length, the texts made in a buffer that is
// overwritten after each row (as a store's are), list starts among them.
std::vector<std::string> Feed(RowSink& sink, int rows, std::size_t longText) {
  Recorder direct;
  std::string buffer;
  for (int i = 0; i < rows; ++i) {
    if (i % 17 == 5) {
      sink.BeginList();
      direct.BeginList();
    }
    buffer.assign(i % 23 == 0 ? longText : static_cast<std::size_t>(i % 40), static_cast<char>('a' + i % 26));
    const CellValue cells[] = {CellValue::Text(buffer), CellValue::Number(i), CellValue::Time(-i),
                               CellValue::Text("")};
    const std::span<const CellValue> row(cells, static_cast<std::size_t>(i % 5));
    sink.AddRow(row);
    direct.AddRow(row);
    buffer.assign(buffer.size(), '#');
  }
  return direct.seen;
}

TEST(BackgroundRowSink, HandsOnEveryRowInOrderWithItsOwnTexts) {
  struct Case {
    int rows;
    std::size_t batchBytes;
    std::size_t longText;
    bool throughThread;
  };
  const Case cases[] = {
      {0, 256, 10, false},       // nothing at all
      {3, 4096, 10, false},      // one batch: no thread
      {500, 128, 10, true},      // many batches
      {500, 128, 200, true},     // rows too long for any batch among them
      {20000, 8192, 3000, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    Recorder next;
    std::vector<std::string> expected;
    {
      BackgroundRowSink sink(next, c.batchBytes);
      expected = Feed(sink, c.rows, c.longText);
      sink.Finish();
    }
    EXPECT_EQ(next.seen, expected);
    const auto onCaller = static_cast<std::size_t>(
        std::count(next.threads.begin(), next.threads.end(), std::this_thread::get_id()));
    // A batch's worth is handed on where Finish is called; more goes
    // through the thread.
    if (c.throughThread) {
      EXPECT_LT(onCaller, expected.size() / 2);
    } else {
      EXPECT_EQ(onCaller, expected.size());
    }
  }
}

TEST(BackgroundRowSink, AFailureOfTheNextSinkStopsTheRowsAndReachesTheCaller) {
  Recorder next;
  next.throwAt = 1000;
  BackgroundRowSink sink(next, 4096);
  bool thrown = false;
  try {
    Feed(sink, 5000, 10);
  } catch (const std::runtime_error&) {
    thrown = true;  // at a batch after the failing one
  }
  EXPECT_TRUE(thrown);
  EXPECT_THROW(sink.Finish(), std::runtime_error);
  EXPECT_EQ(next.seen.size(), 1000u);
}

TEST(BackgroundRowSink, EndsWithoutFinishWhileTheThreadIsBusy) {
  Recorder next;
  std::vector<std::string> expected;
  {
    BackgroundRowSink sink(next, 512);
    expected = Feed(sink, 1000, 10);
  }
  // The rows not yet given to the thread are dropped; those it had come
  // first, in order.
  ASSERT_GT(next.seen.size(), 0u);
  ASSERT_LT(next.seen.size(), expected.size());
  EXPECT_TRUE(std::equal(next.seen.begin(), next.seen.end(), expected.begin()));
}

}  // namespace
}  // namespace tmr
