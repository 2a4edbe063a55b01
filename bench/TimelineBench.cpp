// The timeline in the real window on a generated profile of a million
// Chrome visits and a million Firefox visits: a click on it until the
// count shows, against the two categories clicked one after the other; the
// window's answers (message round trips) while it is built; Cancel; the
// peak working set; and a change of the time range over its two million
// rows. Run it in the test prefix (its virtual desktop), like the window
// bench.
//   tm_bench_timeline [rows]
//   tm_bench_timeline --viewer-peak FOLDER   (the child that measures the memory)
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "BenchSupport.h"
#include "app/MainWindow.h"
#include "app/ViewerServices.h"
#include "categories/CategoryTable.h"
#include "platform/LocalTimeText.h"
#include "platform/MessagePump.h"
#include "platform/Shell.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

using namespace tmr::bench;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Sends the window an empty message every few milliseconds from another
// thread while `work` runs on this one, and gives the longest wait.
double LongestAnswerDuring(HWND window, const std::function<void()>& work) {
  std::atomic<bool> done{false};
  std::atomic<bool> stopped{false};
  double longest = 0;
  std::thread prober([&] {
    while (!done) {
      const auto sent = Clock::now();
      DWORD_PTR result = 0;
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
      if (!done) longest = std::max(longest, Since(sent));
      Sleep(5);
    }
    stopped = true;
  });
  work();
  done = true;
  // The prober's last message waits for this thread to answer it.
  while (!stopped) {
    PumpPendingMessages();
    Sleep(1);
  }
  prober.join();
  return longest;
}

void Run(int rows) {
  GeneratedProfile profile(rows, std::max(25000, rows / 4));
  MainWindow window(Categories(), MakeViewerServices(nullptr));
  if (!window.Create(SW_SHOWNORMAL)) throw std::runtime_error("no main window");
  auto empty = [&] { window.ClickCategory(Category::kUsbStorage); };
  std::string shown;
  const Pair pair = TimeInTurns(
      [&] {
        window.ClickCategory(Category::kChromeUrlHistory);
        window.ClickCategory(Category::kFirefoxUrlHistory);
      },
      [&] {
        window.ClickCategory(Category::kTimeline);
        shown = window.Status().Text(2);
      },
      empty, 2);
  const double wall = pair.measured.wall / pair.base.wall;
  const double cpu = pair.measured.cpu / pair.base.cpu;
  std::printf(
      "timeline visits=%d+%d shown=\"%s\" both_categories_ms wall=%.1f cpu=%.1f timeline_ms wall=%.1f cpu=%.1f "
      "ratio wall=%.2f cpu=%.2f target<=1.50 %s\n",
      rows, rows, shown.c_str(), pair.base.wall, pair.base.cpu, pair.measured.wall, pair.measured.cpu, wall, cpu,
      Verdict(std::max(wall, cpu) <= 1.5));

  // The window answers while the timeline is built.
  empty();
  const double longest = LongestAnswerDuring(window.hwnd(), [&] { window.ClickCategory(Category::kTimeline); });
  std::printf("timeline_build longest_round_trip_ms=%.1f target<100 %s\n", longest, Verdict(longest < 100));

  // A change of the time range over every row, until the new count shows.
  const Instant from = InstantOfShownTime(SYSTEMTIME{2022, 6, 0, 1, 0, 0, 0, 0});
  const Instant to = InstantOfShownTime(SYSTEMTIME{2022, 9, 0, 1, 0, 0, 0, 0});
  for (auto [picker, at] : {std::pair{window.RangeFrom(), from}, std::pair{window.RangeTo(), to}}) {
    SYSTEMTIME pickerTime = ShownTimeOf(at);
    DateTime_SetSystemtime(picker, GDT_VALID, &pickerTime);
  }
  const auto changed = Clock::now();
  window.ChooseRange(MainWindow::QuickRange::kCustom);
  while (window.FilterPending()) PumpPendingMessages();
  const double rangeMs = Since(changed);
  std::printf("time_range rows=%zu shown=\"%s\" ms=%.1f target<100 %s\n", window.Model().RowCount(),
              window.Status().Text(2).c_str(), rangeMs, Verdict(rangeMs < 100));
  window.ChooseRange(MainWindow::QuickRange::kEverything);

  // Cancel half-way: how long until the read has stopped.
  empty();
  std::atomic<double> cancelledAt{0};
  const auto clicked = Clock::now();
  std::thread canceller([&] {
    Sleep(600);
    cancelledAt = Since(clicked);
    SendMessageW(window.hwnd(), WM_COMMAND, MainWindow::kCancelId, 0);
  });
  window.ClickCategory(Category::kTimeline);
  const double stoppedAt = Since(clicked);
  canceller.join();
  const double answer = stoppedAt - cancelledAt;
  std::printf("timeline_cancel rows_shown=%zu cancel_at_ms=%.0f stopped_after_ms=%.1f target<100 %s\n",
              window.Model().RowCount(), cancelledAt.load(), answer, Verdict(answer < 100));

  const int peak = ChildPeakMb(L"tm_bench_timeline.exe", profile.temp.path());
  std::printf("timeline_memory visits=%d+%d viewer_peak_working_set_mb=%d target<450 %s\n", rows, rows, peak,
              Verdict(peak > 0 && peak < 450));
}

}  // namespace
}  // namespace tmr

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc == 3 && std::wstring(argv[1]) == L"--viewer-peak") {
    try {
      tmr::test::ScratchRegistry registry;
      tmr::bench::PointShellFoldersAt(registry, argv[2]);
      tmr::MainWindow window(tmr::Categories(), tmr::MakeViewerServices(nullptr));
      if (!window.Create(SW_SHOWNORMAL)) return -1;
      window.ClickCategory(tmr::Category::kTimeline);
    } catch (const std::exception&) {
      return -1;
    }
    return static_cast<int>(tmr::bench::PeakWorkingSetMb());
  }
  const int rows = argc > 1 ? _wtoi(argv[1]) : 1000000;
  try {
    tmr::Run(rows);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench failed: %s\n", e.what());
    return 1;
  }
  return 0;
}
