// Where a reader finds its traces: this PC (the live registry and the
// user's shell folders), or a copy of another PC's files (a mounted image,
// a collected folder) read through its own hive files. A reader asks the
// source and never the machine, so the same reader runs on either.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

// The registry trees readers use: the user's (HKEY_CURRENT_USER, a copy's
// NTUSER.DAT), the user's classes (HKEY_CURRENT_USER\Software\Classes,
// UsrClass.dat) and the machine's (HKEY_LOCAL_MACHINE: keys start with
// "SYSTEM\" or "SOFTWARE\"; "SYSTEM\CurrentControlSet" is the control set
// in use).
enum class TraceRoot { kUser, kUserClasses, kMachine };

// The user's folders that hold traces.
enum class TraceFolder { kProfile, kAppData, kLocalAppData, kRecent, kCookies, kHistory, kCache };

struct TraceValue {
  std::string name;  // UTF-8; "" is the key's default value
  uint32_t type = 0;
  std::vector<uint8_t> data;
  friend bool operator==(const TraceValue&, const TraceValue&) = default;
};

class TraceSource {
 public:
  virtual ~TraceSource() = default;

  // "This PC", or the folder read.
  virtual std::string Name() const = 0;
  // Whether this is the machine the program runs on: only then may a
  // reader end a browser that holds its file, or ask the platform's stores.
  virtual bool Live() const = 0;

  // ---- the registry, read as platform/Registry.h reads the live one ----
  // A text value (REG_SZ up to its first NUL) or a REG_DWORD as decimal;
  // nullopt when missing, empty or of another type.
  virtual std::optional<std::string> Text(TraceRoot root, std::string_view key, std::string_view name) const = 0;
  // Value names in stored order, ending at the first of 20 characters or
  // more; nullopt when the key is missing.
  virtual std::optional<std::vector<std::string>> ValueNames(TraceRoot root, std::string_view key) const = 0;
  virtual std::vector<std::string> SubKeys(TraceRoot root, std::string_view key) const = 0;
  // The value's bytes and one zero byte; two zero bytes for a missing value,
  // none for a missing key.
  virtual std::vector<uint8_t> Bytes(TraceRoot root, std::string_view key, std::string_view name) const = 0;
  // Every value whole, in stored order; nullopt when the key is missing.
  virtual std::optional<std::vector<TraceValue>> Values(TraceRoot root, std::string_view key) const = 0;
  // When the key was last written (a FILETIME); nullopt when it is missing.
  virtual std::optional<uint64_t> KeyLastWritten(TraceRoot root, std::string_view key) const = 0;

  // ---- files ----
  // A folder of the user, "" where there is none.
  virtual std::string Folder(TraceFolder folder) const = 0;
  // The roots of the fixed drives ("C:\", ...), where the recycle bins are.
  virtual std::vector<std::string> FixedDriveRoots() const = 0;
  // The user's security identifier ("S-1-5-21-..."), "" when unknown.
  virtual std::string UserSid() const = 0;
  virtual std::string ComputerName() const = 0;
  virtual std::string UserName() const = 0;
  // The system's family as the readers compare it ("Vista" is Vista and
  // later; "xp", "98", ...): for this PC the program's OsVersion.
  virtual std::string WindowsFamily() const = 0;
};

// This PC, for the user running the program.
const TraceSource& LiveTraceSource();

}  // namespace tmr
