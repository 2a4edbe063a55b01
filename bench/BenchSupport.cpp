#include "BenchSupport.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>

#include "platform/Shell.h"
#include "platform/WinText.h"
#include "support/ScratchDatabase.h"

namespace tmr::bench {

using Clock = std::chrono::steady_clock;

std::string Utf8(const fs::path& p) {
  auto u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

// The process's processor time, all its threads (the report writes on a
// second one), in steps of the platform's clock tick.
double CpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ticks = [](const FILETIME& f) { return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

double Ms(const std::function<void()>& work) {
  auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs of each, taken in turns so a busy spell weighs on both alike. What
// a run leaves behind (the filled list) is released after its timing.
Pair TimeInTurns(const std::function<void()>& base, const std::function<void()>& measured,
                 const std::function<void()>& release, int runs) {
  Pair pair;
  for (int i = 0; i < runs; ++i) {
    for (auto [work, timing] : {std::pair{&base, &pair.base}, std::pair{&measured, &pair.measured}}) {
      double cpu = CpuMs();
      timing->wall = std::min(timing->wall, Ms(*work));
      timing->cpu += (CpuMs() - cpu) / runs;
      release();
    }
  }
  return pair;
}

const char* Verdict(bool ok) { return ok ? "PASS" : "FAIL"; }

void MakeChromeHistory(const fs::path& file, int rows) {
  test::ScratchDatabase db(file);
  db.Exec(
      "CREATE TABLE urls(id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
      "visit_count INTEGER DEFAULT 0 NOT NULL, typed_count INTEGER DEFAULT 0 NOT NULL, "
      "last_visit_time INTEGER NOT NULL, hidden INTEGER DEFAULT 0 NOT NULL, favicon_id INTEGER DEFAULT 0 NOT NULL);"
      "CREATE INDEX urls_url_index ON urls (url);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
      std::to_string(rows) +
      ") "
      "INSERT INTO urls SELECT i, 'https://www.site' || (i % 5000) || '.example/articles/' || i || '/page.html?ref=' "
      "|| (i * 7919 % 1000), 'Article ' || i || ' of the generated history, with a title of usual length', "
      "1 + i % 17, i % 3, 13300000000000000 + i * 37000000, CASE WHEN i % 50 = 0 THEN 1 ELSE 0 END, 0 FROM n;");
}

void MakeFirefoxPlaces(const fs::path& file, int rows, int pages) {
  test::ScratchDatabase db(file);
  db.Exec(
      "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR, "
      "visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, "
      "favicon_id INTEGER, frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER, guid TEXT);"
      "CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER, "
      "visit_date INTEGER, visit_type INTEGER, session INTEGER);"
      "CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date);"
      "CREATE INDEX moz_historyvisits_dateindex ON moz_historyvisits (visit_date);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
      std::to_string(pages) +
      ") "
      "INSERT INTO moz_places SELECT i, 'https://www.site' || (i % 3000) || '.example/page/' || i, "
      "'Page ' || i || ' of the generated profile', 'elpmaxe.etis.www.', 4, 0, 0, NULL, 100, "
      "1309518981371935 + i * 1000000, 'guid' || i FROM n;"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
      std::to_string(rows) +
      ") "
      "INSERT INTO moz_historyvisits SELECT i, 0, 1 + (i * 7919) % " +
      std::to_string(pages) + ", 1309518981371935 + i, 1, 0 FROM n;");
}

void PointShellFoldersAt(test::ScratchRegistry& registry, const fs::path& folder) {
  constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  registry.SetString(HKEY_CURRENT_USER, kShellFolders, "AppData", Utf8(folder / "Roaming"));
  registry.SetString(HKEY_CURRENT_USER, kShellFolders, "Local AppData", Utf8(folder / "Local"));
}

GeneratedProfile::GeneratedProfile(int rows, int pages) {
  PointShellFoldersAt(registry, temp.path());
  chrome = temp.path() / "Local" / "Google" / "Chrome" / "User Data" / "Default";
  firefox = temp.path() / "Roaming" / "Mozilla" / "Firefox" / "Profiles" / "bench.default";
  fs::create_directories(chrome);
  fs::create_directories(firefox);
  MakeChromeHistory(chrome / "History", rows);
  MakeFirefoxPlaces(firefox / "places.sqlite", rows, pages);
}

double PeakWorkingSetMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

int ChildPeakMb(const wchar_t* program, const fs::path& folder) {
  const std::wstring path = Widen(ProgramFolder()) + L"\\" + program;
  std::wstring line = L"\"" + path + L"\" --viewer-peak \"" + folder.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return -1;
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 600000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

}  // namespace tmr::bench
