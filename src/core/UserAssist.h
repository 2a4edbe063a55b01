// The shell's counts of what a user started from it, kept in
// HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\UserAssist\{GUID}\Count:
// one value per program or shortcut, its name ROT13-encoded, its data the
// counts and the time of the last start.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tmr {

// What the values under one {GUID} subkey count.
enum class UserAssistKind {
  kUnknown,
  kExecutables,  // {CEBFF5CD-...}, Windows 7 on: programs started by their file
  kShortcuts,    // {F4E57C4B-...}, Windows 7 on: programs started by a shortcut
  kPrograms,     // {75048700-...}, XP and Vista: programs and shortcuts alike
  kToolbar,      // {5E6AB780-...}, XP and Vista: the browser's toolbar
};

// The kind of a subkey by its name ("{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}",
// letters in either case).
UserAssistKind UserAssistKindOfKey(std::string_view subkey);

// ROT13 of the ASCII letters; digits, punctuation and every byte of a
// multi-byte character stay as they are (the encoding is its own inverse).
std::string Rot13(std::string_view text);

// The marker XP and Vista put before what was started ("UEME_RUNPATH:..."),
// and the two bookkeeping values every version keeps.
enum class UserAssistTag {
  kNone,          // a plain name (Windows 7 on): a path or an application id
  kSession,       // UEME_CTLSESSION: the session, no program
  kCounterStart,  // UEME_CTLCUACount:ctor: where counting began, no program
  kRunPath,       // UEME_RUNPATH: a program by its path
  kRunPidl,       // UEME_RUNPIDL: a shell item, mostly a shortcut
  kRunCpl,        // UEME_RUNCPL: a Control Panel item
  kRunCommand,    // UEME_RUNWMCMD: through the Run dialog
  kHotkey,        // UEME_UIHOTKEY
  kQuickLaunch,   // UEME_UIQCUT
  kDesktop,       // UEME_UISCUT: a desktop shortcut
  kToolbar,       // UEME_UITOOLBAR: a button of the shell's toolbar
  kOther,         // another UEME_ marker
};

struct UserAssistName {
  UserAssistTag tag = UserAssistTag::kNone;
  std::string marker;   // "UEME_RUNPATH" as stored; "" for a plain name
  std::string subject;  // what the value is about, a known folder at its start expanded
};

// A value name as stored (ROT13), decoded: the marker split off at its
// colon, the rest a path or application id.
UserAssistName DecodeUserAssistName(std::string_view storedName);

// The values that count nothing a user started.
bool IsBookkeeping(UserAssistTag tag);

struct UserAssistCounts {
  uint32_t runCount = 0;
  std::optional<uint32_t> session;      // XP and Vista only
  std::optional<uint32_t> focusCount;   // Windows 7 on: times the program got the focus
  std::optional<uint32_t> focusTimeMs;  // Windows 7 on: time it had the focus, in ms
  uint64_t lastRun = 0;                 // FILETIME, UTC; 0 = none recorded
};

// A value's data (its bytes exactly, as stored): the 72-byte form of
// Windows 7 and later or the 16-byte form of XP and Vista, whose counter
// starts at 5 (the count given is the starts beyond that). nullopt for any
// other size, such as the session value's.
std::optional<UserAssistCounts> DecodeUserAssistData(std::span<const uint8_t> data);

}  // namespace tmr
