#include <algorithm>
#include <vector>

#include "core/IndexDatScanner.h"
#include "core/TextUtil.h"
#include "platform/SharedFile.h"
#include "readers/ie/IeReaders.h"

namespace tmr {
namespace {

// Bytes read per step. A step is scanned in well under a millisecond, so
// the window and Cancel are served between steps; DoEvents after each row
// covers files dense with hits.
constexpr size_t kChunkBytes = size_t{1} << 20;

std::string RecordsLabel(uint64_t count) { return "Records: " + std::to_string(count); }

}  // namespace

bool ForEachIndexRow(const std::string& path, const std::function<void(uint64_t length)>& onOpened,
                     const IndexDatScanner::RowHandler& onRow,
                     const std::function<bool(const IndexDatScanner&)>& afterStep) {
  SharedFileReader reader;
  if (!reader.Open(path)) return false;
  IndexDatScanner scanner(reader.Length());
  if (onOpened) onOpened(scanner.Length());
  std::vector<char> buffer(kChunkBytes + kIndexReach);
  bool goOn = true;
  while (!scanner.Finished() && goOn) {
    const uint64_t base = scanner.Next();
    const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), scanner.Length() - base));
    const size_t got = reader.ReadAt(base, buffer.data(), want);
    if (got < want) scanner.ShrinkTo(base + got);  // the file shrank, or a read failed
    bool rowsGoOn = true;
    scanner.Scan(std::string_view(buffer.data(), got), base, [&](std::string_view row) {
      rowsGoOn = onRow(row);
      return rowsGoOn;
    });
    goOn = afterStep(scanner) && rowsGoOn;
  }
  return true;
}

namespace {

// The scan of the list: the progress window with "Records: N", the main
// window's Cancel button, the file's path in the status bar.
ReadOutcome ScanForList(const std::string& path, RowSink& rows, ReadProgress& progress) {
  progress.ShowCancelButton(true);
  progress.SetStatus(path);
  bool progressShown = false;
  bool opened = ForEachIndexRow(
      Trim(path),
      [&](uint64_t length) {
        // The bar's maximum is held in single precision.
        progress.BeginProgress(static_cast<double>(static_cast<float>(length)));
        progressShown = true;
      },
      [&](std::string_view row) {
        rows.AddRow(row);
        return progress.KeepGoing();
      },
      [&](const IndexDatScanner& scanner) {
        progress.SetProgress(static_cast<double>(scanner.Next() + 1), RecordsLabel(scanner.Hits()));
        return progress.KeepGoing();
      });
  if (progressShown) progress.EndProgress();
  progress.ShowCancelButton(false);
  if (!opened) progress.SetStatus("Cannot open " + path);
  return ReadOutcome::kRead;
}

}  // namespace

ReadOutcome ReadIndexFile(const ReadContext& context, RowSink& rows, ReadProgress& progress) {
  if (context.purpose == ReadPurpose::kReport) {
    // A row ends at its first NUL here; the list keeps all 150 bytes and
    // shows them up to the NUL.
    ForEachIndexRow(
        DefaultIndexDatPath(SourceOf(context)), nullptr,
        [&](std::string_view row) {
          rows.AddRow(row.substr(0, row.find('\0')));
          return progress.KeepGoing();
        },
        [&](const IndexDatScanner&) { return progress.KeepGoing(); });
    return ReadOutcome::kRead;
  }
  std::string path = context.chooseIndexFile ? context.chooseIndexFile() : std::string();
  if (Trim(path).empty()) return ReadOutcome::kNothingChosen;
  return ScanForList(path, rows, progress);
}

}  // namespace tmr
