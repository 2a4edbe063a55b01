// Times the Jump Lists category over a Recent folder of 2,000 jump lists
// (about 200 MB unless given another count) against reading the same
// files' bytes alone. The lists are the real Explorer list's link streams,
// copied under new entry numbers with a DestList of their own per file.
// The verdict is on the fastest wall-clock run of each, the time a user
// waits: the processor time of reading the same 192 MB under Wine swings
// between about 230 and 740 ms from one run to the next, so the ratio of
// processor times is printed beside it, not judged.
//   tm_bench_jumplists [files]
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/CompoundFile.h"
#include "core/JumpList.h"
#include "platform/SharedFile.h"
#include "readers/windows/TodayReaders.h"
#include "support/Fixtures.h"
#include "support/ScratchTraceSource.h"
#include "support/ShellFormatBuilder.h"

namespace tmr {
namespace {

using namespace tmr::bench;

constexpr int kRuns = 9;
// Entries per list: 60 of the real list's links (1.6 KB on average) make a
// file of about 100 KB.
constexpr uint32_t kEntriesPerList = 60;

class CountingRows final : public RowSink, public SilentReadProgress {
 public:
  using RowSink::AddRow;
  void AddRow(std::span<const CellValue> given) override {
    ++rows;
    cells += given.size();
  }
  size_t rows = 0;
  size_t cells = 0;
};

// The real list's link streams, in DestList order; none without the
// fixtures.
std::vector<test::ByteVector> SampleLinks() {
  const std::string bytes = test::ReadFixture("windows-today/1b4dd67f29cb1962.automaticDestinations-ms");
  const std::span<const uint8_t> span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  std::optional<CompoundFile> file = CompoundFile::Open(span);
  std::optional<AutomaticDestinations> list = ReadAutomaticDestinations(span);
  std::vector<test::ByteVector> links;
  if (!file || !list) return links;
  for (const AutomaticDestination& destination : list->entries) {
    if (auto link = file->ReadRootStream(DestListStreamName(destination.entry.entryNumber))) links.push_back(*link);
  }
  return links;
}

std::u16string Digits(uint64_t number) {
  const std::string text = std::to_string(number);
  return std::u16string(text.begin(), text.end());
}

// One list per file, each with its own times and entry numbers.
uint64_t WriteLists(const std::vector<test::ByteVector>& links, const fs::path& folder, int files) {
  fs::create_directories(folder);
  uint64_t total = 0;
  for (int f = 0; f < files; ++f) {
    std::vector<test::DestListRow> rows;
    std::vector<test::BuiltStream> streams(1);
    for (uint32_t e = 0; e < kEntriesPerList; ++e) {
      const size_t from = e % links.size();
      const uint32_t number = e + 1 + static_cast<uint32_t>(f % 7);
      rows.push_back({.entryNumber = number,
                      .lastOpened = 0x01D0E26FF30771E0u - static_cast<uint64_t>(f) * 600000000 - e,
                      .pinStatus = e == 0 ? 0 : -1,
                      .accessCount = e + 1,
                      .path = u"C:\\Users\\bench\\Documents\\file " + Digits(f) + u"-" + Digits(e)});
      streams.push_back({DestListStreamName(number), links[from]});
    }
    streams[0] = {"DestList", test::BuildDestList(3, rows)};
    const test::BuiltCompound built = test::BuildCompoundFile({.streams = streams});
    char name[64];
    std::snprintf(name, sizeof name, "%016llx.automaticDestinations-ms", 0x1b4dd67f00000000ULL + f);
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(built.bytes.data()), static_cast<std::streamsize>(built.bytes.size()));
    total += built.bytes.size();
  }
  return total;
}

// What reading costs whatever is made of the bytes: every list read whole,
// as the reader reads it.
size_t ReadEveryFile(const fs::path& folder) {
  size_t bytes = 0;
  WIN32_FIND_DATAW entry{};
  HANDLE find = FindFirstFileW((folder / L"*.automaticDestinations-ms").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    if (std::optional<std::string> read = ReadWholeFile(Utf8(folder / entry.cFileName), 64u << 20)) {
      bytes += read->size();
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return bytes;
}

int Run(int files) {
  const std::vector<test::ByteVector> links = SampleLinks();
  if (links.empty()) {
    std::printf("jump_lists no real sample under the fixtures: nothing measured\n");
    return 0;
  }
  test::TempDir temp;
  const fs::path folder = temp.path() / "Recent" / "AutomaticDestinations";
  const uint64_t written = WriteLists(links, folder, files);
  test::ScratchTraceSource source;
  source.folders[TraceFolder::kRecent] = Utf8(temp.path() / "Recent");
  ReadContext context;
  context.source = &source;

  size_t bytesRead = 0;
  size_t rows = 0;
  size_t cells = 0;
  auto bytesAlone = [&] { bytesRead = ReadEveryFile(folder); };
  auto category = [&] {
    CountingRows sink;
    ReadJumpLists(context, sink, sink);
    rows = sink.rows;
    cells = sink.cells;
  };
  // The files just written are still going to the disk, which slows every
  // read while it lasts: timing starts once two reads in a row take about
  // as long.
  double last = Ms(bytesAlone);
  for (int settle = 0; settle < 20; ++settle) {
    const double now = Ms(bytesAlone);
    if (std::abs(now - last) < 0.1 * last) break;
    last = now;
  }
  const Pair pair = TimeInTurns(
      bytesAlone, category, [] {}, kRuns);
  const double wall = pair.measured.wall / pair.base.wall;
  const double cpu = pair.measured.cpu / pair.base.cpu;
  // Every byte read, every entry a row of all eight cells.
  const bool complete =
      bytesRead == written && rows == static_cast<size_t>(files) * kEntriesPerList && cells == rows * 8;
  std::printf(
      "jump_lists files=%d mb=%.1f rows=%zu read_bytes_ms wall=%.1f cpu=%.1f category_ms wall=%.1f cpu=%.1f "
      "ratio wall=%.2f cpu=%.2f target<=2.00 %s\n",
      files, static_cast<double>(written) / (1024.0 * 1024.0), rows, pair.base.wall, pair.base.cpu, pair.measured.wall,
      pair.measured.cpu, wall, cpu, Verdict(complete && wall <= 2.0));
  return complete ? 0 : 1;
}

}  // namespace
}  // namespace tmr

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  return tmr::Run(argc > 1 ? std::atoi(argv[1]) : 2000);
}
