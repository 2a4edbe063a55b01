// The registry hive reader on a real system hive against hivex (Debian's
// libhivex) in the same run: opening the file; opening it and reading
// every key's name and time and every value's name, type and data, as a
// viewer showing the whole hive does; and finding keys by their paths.
// Each case is the best of several runs, PASS when ours takes at most 1.5
// times as long as hivex. Opening alone is shown but not judged: ours
// reads the file into memory and lays out the whole key tree there, where
// hivex maps the file and finds a key's cells when asked for them, so the
// cost moves from the walk to the opening. Then our peak heap during the
// whole read (every allocation of the program's C++ code is counted;
// hivex allocates with malloc, outside the count) against the file's
// size, PASS at 1.5 times the file at most. The two walks must also read
// the same bytes.
//   tm_bench_hive [HIVE] [--runs N]
// HIVE defaults to the SYSTEM fixture decompressed in the build tree. For
// figures, build without sanitizers:
//   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTM_SANITIZE=OFF
//   cmake --build build/bench -j2 --target tm_bench_hive
#include <hivex.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "core/RegistryHive.h"

namespace {

// Heap use of everything allocated through operator new.
size_t gHeapNow = 0;
size_t gHeapPeak = 0;

// What a walk read: counts and a hash of every name, type and datum, so
// that the two readers can be seen to have done the same work.
struct Walked {
  size_t keys = 0;
  size_t values = 0;
  size_t bytes = 0;
  uint64_t hash = 1469598103934665603u;
  void Add(const void* data, size_t size) {
    for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<const uint8_t*>(data)[i]) * 1099511628211u;
  }
  bool operator==(const Walked&) const = default;
};

std::vector<uint8_t> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

double BestMs(int runs, const std::function<void()>& work) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

Walked WalkOurs(const tmr::RegistryHive& hive, std::vector<std::string>* paths) {
  Walked walked;
  std::vector<std::pair<tmr::RegistryHive::Key, std::string>> stack{{hive.Root(), ""}};
  while (!stack.empty()) {
    const auto [key, path] = stack.back();
    stack.pop_back();
    ++walked.keys;
    const std::string name = hive.KeyName(key);
    const uint64_t time = hive.LastWriteTime(key);
    walked.Add(name.data(), name.size());
    walked.Add(&time, sizeof time);
    for (const tmr::HiveValue& value : hive.Values(key)) {
      ++walked.values;
      walked.bytes += value.data.size();
      walked.Add(value.name.data(), value.name.size());
      walked.Add(&value.type, sizeof value.type);
      walked.Add(value.data.data(), value.data.size());
    }
    const std::vector<tmr::RegistryHive::Key> subkeys = hive.Subkeys(key);
    for (auto child = subkeys.rbegin(); child != subkeys.rend(); ++child) {
      stack.emplace_back(*child, paths ? path + "\\" + hive.KeyName(*child) : std::string());
    }
    if (paths && !path.empty()) paths->push_back(path.substr(1));
  }
  return walked;
}

Walked WalkHivex(hive_h* hive) {
  Walked walked;
  std::vector<hive_node_h> stack{hivex_root(hive)};
  while (!stack.empty()) {
    const hive_node_h node = stack.back();
    stack.pop_back();
    ++walked.keys;
    char* name = hivex_node_name(hive, node);
    const uint64_t time = static_cast<uint64_t>(hivex_node_timestamp(hive, node));
    walked.Add(name, std::strlen(name));
    walked.Add(&time, sizeof time);
    std::free(name);
    hive_value_h* values = hivex_node_values(hive, node);
    for (hive_value_h* value = values; *value != 0; ++value) {
      ++walked.values;
      char* key = hivex_value_key(hive, *value);
      hive_type type{};
      size_t length = 0;
      char* data = hivex_value_value(hive, *value, &type, &length);
      const uint32_t typeNumber = static_cast<uint32_t>(type);
      walked.bytes += length;
      walked.Add(key, std::strlen(key));
      walked.Add(&typeNumber, sizeof typeNumber);
      walked.Add(data, length);
      std::free(key);
      std::free(data);
    }
    std::free(values);
    hive_node_h* children = hivex_node_children(hive, node);
    size_t count = 0;
    while (children[count] != 0) ++count;
    for (size_t i = count; i-- > 0;) stack.push_back(children[i]);
    std::free(children);
  }
  return walked;
}

bool FindHivex(hive_h* hive, const std::string& path) {
  hive_node_h node = hivex_root(hive);
  for (size_t at = 0; node != 0 && at <= path.size();) {
    const size_t end = std::min(path.find('\\', at), path.size());
    node = hivex_node_get_child(hive, node, path.substr(at, end - at).c_str());
    at = end + 1;
  }
  return node != 0;
}

double MiB(size_t bytes) { return static_cast<double>(bytes) / 1048576.0; }

// A case that is not judged prints its ratio alone.
bool Report(const char* name, double ours, double theirs, bool judged = true) {
  const double ratio = ours / theirs;
  std::printf("%-34s ours %8.1f ms  hivex %8.1f ms  ratio %.2f  %s\n", name, ours, theirs, ratio,
              !judged        ? "(not judged)"
              : ratio <= 1.5 ? "PASS"
                             : "FAIL");
  return !judged || ratio <= 1.5;
}

}  // namespace

void* operator new(size_t size) {
  // The size ahead of the block, for delete to take off again.
  auto* block = static_cast<size_t*>(std::malloc(size + 16));
  if (block == nullptr) throw std::bad_alloc();
  *block = size;
  gHeapNow += size;
  gHeapPeak = std::max(gHeapPeak, gHeapNow);
  return reinterpret_cast<char*>(block) + 16;
}
void operator delete(void* pointer) noexcept {
  if (pointer == nullptr) return;
  auto* block = reinterpret_cast<size_t*>(static_cast<char*>(pointer) - 16);
  gHeapNow -= *block;
  std::free(block);
}
void operator delete(void* pointer, size_t) noexcept { operator delete(pointer); }

int main(int argc, char** argv) {
  const char* path = TM_BENCH_HIVE;
  int runs = 5;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      path = argv[i];
    }
  }
#if defined(__SANITIZE_ADDRESS__)
  std::printf("note: a sanitizer build; its times say nothing of a release build\n");
#endif
  const size_t fileSize = ReadFile(path).size();
  hive_h* probe = hivex_open(path, 0);
  if (fileSize == 0 || probe == nullptr || !tmr::RegistryHive::Open(ReadFile(path))) {
    std::fprintf(stderr, "tm_bench_hive: %s is no hive both readers open\n", path);
    return 2;
  }
  hivex_close(probe);

  std::vector<std::string> paths;
  const Walked ours = WalkOurs(*tmr::RegistryHive::Open(ReadFile(path)), &paths);
  hive_h* hivex = hivex_open(path, 0);
  const Walked theirs = WalkHivex(hivex);
  std::printf("%s: %.1f MiB, %zu keys, %zu values, %.1f MiB of data; the readers %s\n", path, MiB(fileSize), ours.keys,
              ours.values, MiB(ours.bytes), ours == theirs ? "agree" : "DISAGREE");
  bool pass = ours == theirs;

  pass &= Report("open", BestMs(runs, [&] { (void)tmr::RegistryHive::Open(ReadFile(path)); }),
                 BestMs(runs, [&] { hivex_close(hivex_open(path, 0)); }), false);
  pass &= Report("open, every key and value",
                 BestMs(runs, [&] { (void)WalkOurs(*tmr::RegistryHive::Open(ReadFile(path)), nullptr); }),
                 BestMs(runs, [&] {
                   hive_h* hive = hivex_open(path, 0);
                   (void)WalkHivex(hive);
                   hivex_close(hive);
                 }));
  const tmr::RegistryHive hive = *tmr::RegistryHive::Open(ReadFile(path));
  size_t found = 0;
  const std::string lookups = "find " + std::to_string(paths.size()) + " keys by path";
  pass &= Report(lookups.c_str(),
                 BestMs(runs,
                        [&] {
                          for (const std::string& key : paths) found += hive.FindKey(hive.Root(), key).has_value();
                        }),
                 BestMs(runs, [&] {
                   for (const std::string& key : paths) found += FindHivex(hivex, key);
                 }));
  if (found != paths.size() * 2 * static_cast<size_t>(runs)) {
    std::printf("lookups: %zu of %zu found\n", found, paths.size() * 2 * static_cast<size_t>(runs));
    pass = false;
  }
  hivex_close(hivex);

  const size_t before = gHeapNow;
  gHeapPeak = gHeapNow;
  (void)WalkOurs(*tmr::RegistryHive::Open(ReadFile(path)), nullptr);
  const double peak = static_cast<double>(gHeapPeak - before);
  std::printf("%-34s ours %8.1f MiB for a %.1f MiB file: %.2f times its size  %s\n", "peak heap, open and read all",
              peak / 1048576.0, MiB(fileSize), peak / static_cast<double>(fileSize),
              peak <= 1.5 * static_cast<double>(fileSize) ? "PASS" : "FAIL");
  pass &= peak <= 1.5 * static_cast<double>(fileSize);
  return pass ? 0 : 1;
}
