// Times every Windows category (and the typed addresses) read from a folder
// source against the same category read from this PC's registry holding the
// same data: a real user hive and the real SYSTEM hive in a folder laid out
// as a Windows volume, imported into a scratch registry for the live side.
// A generated user hive with long lists (5,000 typed paths, run commands and
// last-visited entries, and as many recent documents) follows, the case where a reader asks for each of a
// key's many values by name. Each line gives both times, their ratio and
// PASS when the folder takes at most twice as long. Opening the source (its
// hives read and laid out) is timed once per hive set, against reading the
// same files' bytes alone.
//   tm_bench_folder_source
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "BenchSupport.h"
#include "categories/CategoryTable.h"
#include "core/ProgramState.h"
#include "platform/SharedFile.h"
#include "readers/FolderTraceSource.h"
#include "support/Fixtures.h"
#include "support/HiveBuilder.h"
#include "support/RealHives.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

using namespace tmr::bench;

constexpr int kRuns = 5;
constexpr char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class CountingRows final : public RowSink, public SilentReadProgress {
 public:
  using RowSink::AddRow;
  void AddRow(std::span<const CellValue>) override { ++rows; }
  size_t rows = 0;
};

void Copy(const fs::path& from, const fs::path& to) {
  fs::create_directories(to.parent_path());
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
}

// The categories timed: the Windows group and the typed addresses.
std::vector<const CategoryInfo*> TimedCategories() {
  std::vector<const CategoryInfo*> timed;
  for (const CategoryInfo& category : Categories().categories) {
    if (category.report.group == ReportGroup::kWindows || category.id == Category::kIeTypedUrls) {
      timed.push_back(&category);
    }
  }
  return timed;
}

// Reads of one category, repeated so that a run lasts long enough to time.
size_t ReadRepeatedly(const CategoryInfo& category, const TraceSource* source, int times) {
  CountingRows rows;
  ReadContext context;
  context.source = source;
  for (int i = 0; i < times; ++i) category.read(context, rows, rows);
  return rows.rows / static_cast<size_t>(times);
}

bool CompareCategories(const char* data, const FolderTraceSource& folder, int repeats) {
  bool allPass = true;
  for (const CategoryInfo* category : TimedCategories()) {
    size_t liveRows = 0;
    size_t folderRows = 0;
    const Pair pair = TimeInTurns([&] { liveRows = ReadRepeatedly(*category, nullptr, repeats); },
                                  [&] { folderRows = ReadRepeatedly(*category, &folder, repeats); }, [] {}, kRuns);
    const double ratio = pair.measured.wall / pair.base.wall;
    const bool pass = ratio <= 2.0 && liveRows == folderRows;
    allPass = allPass && pass;
    std::printf("%-11s %-28s rows %5zu/%5zu  folder %8.3f ms  live %8.3f ms  ratio %5.2f  %s\n", data,
                std::string(category->nodeText).c_str(), folderRows, liveRows, pair.measured.wall / repeats,
                pair.base.wall / repeats, ratio, Verdict(pass));
  }
  return allPass;
}

// The first read of a fresh source opens its hives; the base is reading the
// same files' bytes.
void TimeOpening(const char* data, const TraceFolderLayout& layout, const std::string& user,
                 const std::vector<fs::path>& hives) {
  const CategoryInfo& usb = Categories().Of(Category::kUsbStorage);
  const CategoryInfo& typed = Categories().Of(Category::kTypedPaths);
  const Pair pair = TimeInTurns(
      [&] {
        for (const fs::path& hive : hives) (void)ReadWholeFile(Utf8(hive), size_t{1} << 30);
      },
      [&] {
        const FolderTraceSource source(layout, user);
        ReadRepeatedly(usb, &source, 1);
        ReadRepeatedly(typed, &source, 1);
      },
      [] {}, kRuns);
  uint64_t bytes = 0;
  for (const fs::path& hive : hives) bytes += fs::file_size(hive);
  std::printf("%-11s %-28s %6.1f MB  open %8.3f ms  file reads %8.3f ms  ratio %5.2f\n", data, "(opening the hives)",
              static_cast<double>(bytes) / 1e6, pair.measured.wall, pair.base.wall,
              pair.measured.wall / pair.base.wall);
}

// A user hive whose lists are long: typed paths, Run box commands and
// last-visited entries, 5,000 of each.
std::vector<uint8_t> LongListsHive() {
  std::vector<test::TreeValue> paths;
  std::vector<test::TreeValue> runs;
  std::vector<test::TreeValue> visited;
  for (int i = 0; i < 5000; ++i) {
    const std::string n = std::to_string(i);
    const std::u16string wide(n.begin(), n.end());
    paths.push_back({"url" + n, REG_SZ, test::SzData(u"\\\\server" + wide + u"\\share")});
    runs.push_back({"r" + n, REG_SZ, test::SzData(u"C:\\tools\\tool" + wide + u".exe\\1")});
    visited.push_back(
        {n, REG_BINARY, test::Utf16Le(u"program" + wide + u".exe") + std::string(2, '\0') + std::string(40, '\x01')});
  }
  return test::BuildHiveTree({{std::string(kExplorer) + "\\TypedPaths", paths},
                              {std::string(kExplorer) + "\\RunMRU", runs},
                              {std::string(kExplorer) + "\\ComDlg32\\LastVisitedPidlMRU", visited}});
}

int Run() {
  OsVersion = "Vista";
  if (!test::HaveRealHive(L"SYSTEM") || !test::HaveRealHive(L"ntuser-win7.reg")) {
    std::printf("the converted real hives are missing (build tm_real_hives)\n");
    return 1;
  }
  bool pass = true;
  {
    test::TempDir volume;
    const fs::path profile = volume.path() / "Users" / "nfury";
    const fs::path user = profile / "NTUSER.DAT";
    const fs::path system = volume.path() / "Windows" / "System32" / "config" / "SYSTEM";
    Copy(test::FixturePath("registry/NTUSER-WIN7.DAT"), user);
    Copy(test::RealHive(L"SYSTEM"), system);
    const fs::path recent = profile / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Recent";
    for (int i = 0; i < 50; ++i)
      volume.Write(Utf8(fs::relative(recent, volume.path()) / ("doc" + std::to_string(i) + ".lnk")), "L");
    const TraceFolderLayout layout = DescribeTraceFolder(volume.str());
    const FolderTraceSource folder(layout, "nfury");
    test::ScratchRegistry scratch;
    test::LoadRealHive(scratch, L"ntuser-win7.reg");
    test::LoadRealHive(scratch, L"usbstor.reg");
    scratch.SetString(HKEY_CURRENT_USER, kShellFolders, "Recent", folder.Folder(TraceFolder::kRecent));
    TimeOpening("real hives", layout, "nfury", {user, system});
    pass = CompareCategories("real hives", folder, 200) && pass;
  }
  {
    test::TempDir volume;
    const std::vector<uint8_t> hive = LongListsHive();
    const fs::path user = volume.Write("Users\\many\\NTUSER.DAT", std::string(hive.begin(), hive.end()));
    const fs::path system = volume.path() / "Windows" / "System32" / "config" / "SYSTEM";
    Copy(test::RealHive(L"SYSTEM"), system);
    const fs::path recent =
        volume.path() / "Users" / "many" / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Recent";
    fs::create_directories(recent);
    for (int i = 0; i < 5000; ++i) std::ofstream(recent / ("doc" + std::to_string(i) + ".lnk")) << "L";
    const TraceFolderLayout layout = DescribeTraceFolder(volume.str());
    const FolderTraceSource folder(layout, "many");
    test::ScratchRegistry scratch;
    scratch.SetString(HKEY_CURRENT_USER, kShellFolders, "Recent", folder.Folder(TraceFolder::kRecent));
    for (const char* key : {"TypedPaths", "RunMRU"}) {
      const std::string path = std::string(kExplorer) + "\\" + key;
      for (const std::string& name : folder.ValueNames(TraceRoot::kUser, path).value_or(std::vector<std::string>{})) {
        const std::vector<uint8_t> bytes = folder.Bytes(TraceRoot::kUser, path, name);
        scratch.SetRaw(HKEY_CURRENT_USER, path, name, REG_SZ, std::string(bytes.begin(), bytes.end() - 1));
      }
    }
    const std::string visited = std::string(kExplorer) + "\\ComDlg32\\LastVisitedPidlMRU";
    for (const TraceValue& value : folder.Values(TraceRoot::kUser, visited).value_or(std::vector<TraceValue>{})) {
      scratch.SetRaw(HKEY_CURRENT_USER, visited, value.name, value.type,
                     std::string(value.data.begin(), value.data.end()));
    }
    test::LoadRealHive(scratch, L"usbstor.reg");
    TimeOpening("long lists", layout, "many", {user, system});
    pass = CompareCategories("long lists", folder, 3) && pass;
  }
  std::printf("%s\n", Verdict(pass));
  return pass ? 0 : 1;
}

}  // namespace
}  // namespace tmr

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  return tmr::Run();
}
