// The parsers of untrusted bytes, each behind one entry point that both the
// libFuzzer harnesses (fuzz/Harness.cpp) and the replay of kept inputs
// (tests/fuzz) call. An entry point runs its parsers on one input and checks
// what must hold whatever the bytes are; it returns "" or the property that
// failed. Crashes, sanitizer reports and hangs are the harness's to catch.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tmr::fuzz {

// MRU entries: both decoders in every text class.
std::string CheckMruDecode(std::string_view input);
// Cache containers: the record reader, visited entries and their merge.
std::string CheckUrlCacheContainer(std::string_view input);
// The index file scan, whole and in windows, against the per-byte rule.
std::string CheckIndexDatScan(std::string_view input);
// Cookie file names and contents.
std::string CheckCookieRules(std::string_view input);
// UTF-8 from SQLite cells, and UTF-16 to UTF-8.
std::string CheckUtf8Text(std::string_view input);
// The leading-number parse, short dates, day counts, time stamps.
std::string CheckNumbersAndDates(std::string_view input);
// The version reply and the updater's HTTP texts and signature encodings.
std::string CheckUpdateTexts(std::string_view input);
// The report's escaping, alone and through the page writer's cells.
std::string CheckHtmlEscape(std::string_view input);
// Registry hive files and the recovery from their transaction logs.
std::string CheckRegistryHive(std::string_view input);

using Check = std::string (*)(std::string_view input);

struct Target {
  std::string_view name;  // of the harness and of its seed and regression folders
  Check check;
};

std::span<const Target> Targets();

}  // namespace tmr::fuzz
