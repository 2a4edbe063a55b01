#include <algorithm>
#include <vector>

#include "core/IndexDatScanner.h"
#include "core/ProgramState.h"
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
                     const IndexDatScanner::RowSink& onRow,
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

void ScanIndexDatFile(ListTarget& list, const std::string& path) {
  list.SetCancelVisible(true);
  list.SetPanel(1, path);
  bool opened = ForEachIndexRow(
      Trim(path),
      [&list](uint64_t length) {
        CancelRequested = false;
        // The bar's maximum is held in single precision.
        list.ShowProgress(static_cast<double>(static_cast<float>(length)));
        list.SetListVisible(false);
      },
      [&list](std::string_view row) {
        list.AddRow({std::string(row)});
        list.DoEvents();
        return !CancelRequested;
      },
      [&list](const IndexDatScanner& scanner) {
        list.SetProgress(static_cast<double>(scanner.Next() + 1), RecordsLabel(scanner.Hits()));
        list.DoEvents();
        return !CancelRequested;
      });
  if (!opened) {
    list.SetCancelVisible(false);
    list.SetPanel(1, "Cannot open " + path);
    ShowRecordCount(list);
    return;
  }
  list.CloseProgress();
  list.SetListVisible(true);
  list.SetCancelVisible(false);
  ShowRecordCount(list);
}

void ShowIndexDatFile(ListTarget& list, const std::function<void()>& chooseFile) {
  list.SetPanel(1, "Double click to view");
  list.SetListKind("index.dat");
  CancelRequested = false;
  list.ClearList();
  list.AddColumn("URLs In Index.dat File", 8000);
  if (chooseFile) chooseFile();
  if (Trim(IndexDatPath).empty()) return;
  ScanIndexDatFile(list, IndexDatPath);
}

}  // namespace tmr
