// What the benchmark programs share: timing in turns against a baseline,
// and the generated browser profiles they read.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "report/ReportRun.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr::bench {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& p);

// The thread's processor time in milliseconds, and a wall-clock run.
double CpuMs();
double Ms(const std::function<void()>& work);

// Two ways of timing the same runs, as the machine may be shared: the
// fastest wall-clock run (a busy moment makes a run slower, never faster),
// and the mean processor time of the thread over all runs (what the work
// itself costs, whoever else wants the processor meanwhile).
struct Timing {
  double wall = 1e300;
  double cpu = 0;
};

struct Pair {
  Timing base;
  Timing measured;
};

// Runs of both, in turns, so a busy spell weighs on both alike; release
// frees what a run leaves behind, after its timing.
Pair TimeInTurns(const std::function<void()>& base, const std::function<void()>& measured,
                 const std::function<void()>& release, int runs);

const char* Verdict(bool ok);

// A Chrome "History" with `rows` urls (every 50th hidden) and a Firefox
// "places.sqlite" with `pages` pages and `rows` visits spread over them.
void MakeChromeHistory(const fs::path& file, int rows);
void MakeFirefoxPlaces(const fs::path& file, int rows, int pages = 25000);

// The scratch registry's shell folders ("AppData", "Local AppData") as the
// "Roaming" and "Local" folders in `folder`.
void PointShellFoldersAt(test::ScratchRegistry& registry, const fs::path& folder);

// A user whose shell folders point into a temp folder holding a Chrome
// "History" and a Firefox "places.sqlite" of `rows` rows each.
struct GeneratedProfile {
  explicit GeneratedProfile(int rows, int pages = 25000);
  test::TempDir temp;
  test::ScratchRegistry registry;
  fs::path chrome;
  fs::path firefox;
};

// A reader's progress, shown nowhere and never cancelled.
// The report's progress, shown nowhere.
using QuietProgress = SilentReportProgress;

// The peak working set of the process so far, in MB.
double PeakWorkingSetMb();

// Runs a program of this folder as "PROGRAM --viewer-peak FOLDER" and gives
// its exit code: the child's own peak working set in MB (-1 when it could
// not run). A baseline's mapped files would count in the parent's.
int ChildPeakMb(const wchar_t* program, const fs::path& folder);

}  // namespace tmr::bench
