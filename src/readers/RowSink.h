// What a reader hands its rows to, and how it reports progress and hears
// Cancel. A reader knows its store and nothing of windows: the main window's
// list, the report and the tests' recorder take the rows; the main window
// and the report dialog answer the progress calls.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/CellValue.h"
#include "readers/TraceSource.h"

namespace tmr {

class RowSink {
 public:
  virtual ~RowSink() = default;

  // One row: cells[0] is the row's text, the rest its sub-items, each as
  // the store holds it (a text, a number, a time). Texts are valid only
  // during the call.
  virtual void AddRow(std::span<const CellValue> cells) = 0;
  void AddRow(std::string_view text) {
    const CellValue cell = CellValue::Text(text);
    AddRow(std::span<const CellValue>(&cell, 1));
  }
  // A row of texts only.
  void AddTextRow(std::span<const std::string_view> texts);

  // The rows that follow form another of the lists that make up one
  // category (the search history's keys); called only for a list that has
  // rows. The main list shows them as one; the report starts each list with
  // an empty row.
  virtual void BeginList() {}
};

inline void RowSink::AddTextRow(std::span<const std::string_view> texts) {
  constexpr std::size_t kOnStack = 16;
  if (texts.size() <= kOnStack) {
    CellValue cells[kOnStack];
    for (std::size_t i = 0; i < texts.size(); ++i) cells[i] = CellValue::Text(texts[i]);
    AddRow(std::span<const CellValue>(cells, texts.size()));
    return;
  }
  std::vector<CellValue> cells;
  for (std::string_view text : texts) cells.push_back(CellValue::Text(text));
  AddRow(cells);
}

class ReadProgress {
 public:
  virtual ~ReadProgress() = default;

  // Status panel 1 while reading: the file being read, a failure.
  virtual void SetStatus(const std::string& text) = 0;
  // The main window's Cancel button.
  virtual void ShowCancelButton(bool visible) = 0;

  // The progress dialog of long reads: its bar runs from 0 to the maximum,
  // the label is the caller's text ("Records: 12"); its Cancel button and
  // every way of closing it ask the read to stop.
  virtual void BeginProgress(double maximum) = 0;
  virtual void SetProgress(double value, const std::string& label) = 0;
  // The bar at count with the label "Records: " and the count. Readers call
  // it for every row; a window may put off the text until it repaints.
  virtual void SetProgressRecords(std::size_t count) {
    SetProgress(static_cast<double>(count), "Records: " + std::to_string(count));
  }
  virtual void EndProgress() = 0;

  // Lets pending window messages run, so Cancel and the rest of the window
  // stay live, and says whether the read should go on. Cheap to call after
  // every row: the window pumps only when its time slice has passed.
  virtual bool KeepGoing() = 0;
};

// Progress for a read nobody watches: nothing shown, never cancelled.
class SilentReadProgress : public ReadProgress {
 public:
  void SetStatus(const std::string&) override {}
  void ShowCancelButton(bool) override {}
  void BeginProgress(double) override {}
  void SetProgress(double, const std::string&) override {}
  void SetProgressRecords(std::size_t) override {}
  void EndProgress() override {}
  bool KeepGoing() override { return true; }
};

// Who a read is for: the main list or the report, whose readings differ in
// a few places (hidden Chrome pages, Run entries without a path, the cache
// index file chosen in a dialog or the default one).
enum class ReadPurpose { kList, kReport };

// The browser profiles the user chose in the options; "" leaves the choice
// to the rules of each browser. Chromium browsers name a folder under their
// User Data, Firefox a profile folder's full path.
struct BrowserProfileChoice {
  std::string chrome;
  std::string edge;
  std::string firefox;
};

struct ReadContext {
  ReadPurpose purpose = ReadPurpose::kList;
  // Where the traces are read from; null is this PC.
  const TraceSource* source = nullptr;
  // The list sorts the rows itself once they are read (a category shown
  // newest first), so a reader need not keep them to sort them first.
  bool sinkSortsRows = false;
  // Somebody watches the read (the window's progress dialog); a read
  // nobody watches (the command line) need not count its rows first.
  bool watched = true;
  BrowserProfileChoice profiles;
  // Asks the user which cache index file to scan; "" scans nothing. Only
  // the list asks: the report scans the default file.
  std::function<std::string()> chooseIndexFile;
};

inline const TraceSource& SourceOf(const ReadContext& context) {
  return context.source ? *context.source : LiveTraceSource();
}

enum class ReadOutcome {
  kRead,
  // The user chose nothing to read (the cache index dialog cancelled): the
  // list keeps its columns and the status bar is left as it is.
  kNothingChosen,
};

using CategoryReader = ReadOutcome (*)(const ReadContext& context, RowSink& rows, ReadProgress& progress);

}  // namespace tmr
