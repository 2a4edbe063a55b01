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
// Recycle Bin metadata files and the names of their data files.
std::string CheckRecycleBinEntry(std::string_view input);
// The shell's program counts: a value name, a zero byte, its data.
std::string CheckUserAssist(std::string_view input);
// The items of the Office recent lists.
std::string CheckOfficeMru(std::string_view input);
// The activity history's payload and AppId texts, and the forgiving JSON
// scan against the strict reader.
std::string CheckActivityPayload(std::string_view input);
// PowerShell's command history.
std::string CheckPowerShellHistory(std::string_view input);
// Shell items and ID lists (ShellBags, OpenSavePidlMRU, links' ID lists).
std::string CheckShellItems(std::string_view input);
// Shell links, alone and as they follow one another.
std::string CheckShellLink(std::string_view input);
// Compound files: the directory, the root's children and their streams.
std::string CheckCompoundFile(std::string_view input);
// DestList streams, automatic and custom destinations jump lists.
std::string CheckJumpList(std::string_view input);
// Registry hive files and the recovery from their transaction logs.
std::string CheckRegistryHive(std::string_view input);

using Check = std::string (*)(std::string_view input);

struct Target {
  std::string_view name;  // of the harness and of its seed and regression folders
  Check check;
};

std::span<const Target> Targets();

}  // namespace tmr::fuzz
