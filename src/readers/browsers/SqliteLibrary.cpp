#include "readers/browsers/SqliteLibrary.h"

#include <windows.h>
#include <shlwapi.h>
#include <sqlite3.h>

#include <charconv>
#include <cstring>
#include <map>

#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/LocalTimeText.h"
#include "platform/SharedFile.h"
#include "platform/Shell.h"
#include "platform/SystemStrayBytes.h"
#include "platform/WinText.h"
#include "readers/browsers/MappedFileVfs.h"

namespace tmr {
namespace {

std::string& LibraryFolderSetting() {
  static std::string folder;
  return folder;
}

constexpr const char* kNames[] = {
    "sqlite3_initialize",       "sqlite3_shutdown",    "sqlite3_open_v2",      "sqlite3_close",
    "sqlite3_prepare_v2",       "sqlite3_step",        "sqlite3_finalize",     "sqlite3_column_text",
    "sqlite3_column_bytes",     "sqlite3_column_type", "sqlite3_column_int64", "sqlite3_db_config",
    "sqlite3_progress_handler", "sqlite3_vfs_find",    "sqlite3_vfs_register"};

// Steps of SQLite's machine between two checks of Cancel: a few thousand
// take well under a millisecond.
constexpr int kStepsPerCheck = 4000;

int AskKeepGoing(void* context) {
  try {
    return (*static_cast<std::function<bool()>*>(context))() ? 0 : 1;
  } catch (...) {
    return 1;
  }
}

std::string Canonical(std::string folder) {
  if (!EndsWith(folder, "\\")) folder += '\\';
  std::wstring wide = Widen(folder);
  wchar_t buffer[MAX_PATH] = {};
  if (wide.size() < MAX_PATH && PathCanonicalizeW(buffer, wide.c_str())) return Narrow(buffer);
  return folder;
}

}  // namespace

void SetSqliteLibraryFolder(std::string folder) { LibraryFolderSetting() = std::move(folder); }
const std::string& SqliteLibraryFolder() { return LibraryFolderSetting(); }

// ---- SqliteLibrary ----

namespace {

// How many layers of this process have initialised each loaded library (by
// its shutdown function, one per module). SQLite may be shut down only when
// no connection is open, so a read that ends inside another one (the
// window's messages run between rows) must leave it initialised; the last
// layer to let go shuts it down.
std::map<void*, int>& InitialisedLayers() {
  static std::map<void*, int> layers;
  return layers;
}

// True when this layer was the last one using the library.
bool LeaveLibrary(void* shutdown) {
  auto& layers = InitialisedLayers();
  auto found = layers.find(shutdown);
  if (found == layers.end()) return true;
  if (--found->second > 0) return false;
  layers.erase(found);
  return true;
}

}  // namespace

SqliteLibrary::~SqliteLibrary() {
  if (!binder_.Loaded()) return;
  try {
    if (ready_) {
      auto shutdown = Get<decltype(&sqlite3_shutdown)>(kShutdown);
      if (LeaveLibrary(reinterpret_cast<void*>(shutdown))) shutdown();
    }
  } catch (const BinderError&) {
  }
  binder_.Unload();
}

template <typename Fn>
Fn SqliteLibrary::Get(Slot slot) {
  if (!slots_[slot]) slots_[slot] = binder_.Resolve(kNames[slot]);
  return reinterpret_cast<Fn>(slots_[slot]);
}

int SqliteLibrary::Load(const std::string& folder) {
  if (binder_.Loaded()) Unload();
  slots_.fill(nullptr);
  ready_ = false;
  std::string where = Canonical(folder.empty() ? ProgramFolder() : folder);
  if (!binder_.Load(where + kSqliteLibraryName)) return kSqliteError;
  stray_ = &SystemStrayBytes();
  ready_ = Get<decltype(&sqlite3_initialize)>(kInitialize)() == SQLITE_OK;
  if (ready_) {
    try {
      ++InitialisedLayers()[reinterpret_cast<void*>(Get<decltype(&sqlite3_shutdown)>(kShutdown))];
    } catch (const BinderError&) {
      // Without a shutdown function there is nothing to count.
    }
  }
  viewedReads_ = false;
  if (ready_) {
    try {
      viewedReads_ = RegisterMappedFileVfs(Get<SqliteVfsFind>(kVfsFind), Get<SqliteVfsRegister>(kVfsRegister));
    } catch (const BinderError&) {
      // A library without them reads every page with a file read.
    }
  }
  return SQLITE_OK;
}

int SqliteLibrary::Unload() {
  if (!binder_.Loaded()) return kSqliteError;
  auto shutdown = Get<decltype(&sqlite3_shutdown)>(kShutdown);
  if (ready_ && LeaveLibrary(reinterpret_cast<void*>(shutdown)) && shutdown() != SQLITE_OK) return kSqliteError;
  if (!ready_ && shutdown() != SQLITE_OK) return kSqliteError;
  binder_.Unload();
  slots_.fill(nullptr);
  ready_ = false;
  return SQLITE_OK;
}

int SqliteLibrary::Open(const std::string& file, sqlite3** db) {
  if (!ready_) return kSqliteError;
  std::string name = SqliteOpenName(file, NeedsImmutableOpen(file));
  // A connection is used by the one thread that opened it: it needs no lock
  // of its own around every call.
  return Get<decltype(&sqlite3_open_v2)>(kOpen)(name.c_str(), db,
                                                SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                                                viewedReads_ ? kMappedFileVfsName : nullptr);
}

int SqliteLibrary::OpenCopy(const std::string& file, sqlite3** db) {
  if (!ready_) return kSqliteError;
  return Get<decltype(&sqlite3_open_v2)>(kOpen)(file.c_str(), db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
}

int SqliteLibrary::Harden(sqlite3* db) {
  if (!ready_) return kSqliteError;
  auto config = Get<decltype(&sqlite3_db_config)>(kDbConfig);
  int rc = config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  if (rc == SQLITE_OK) rc = config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  return rc;
}

int SqliteLibrary::SetProgressCheck(sqlite3* db, int (*check)(void*), void* context) {
  if (!ready_) return kSqliteError;
  Get<decltype(&sqlite3_progress_handler)>(kProgressHandler)(db, check ? kStepsPerCheck : 0, check, context);
  return SQLITE_OK;
}

int SqliteLibrary::Close(sqlite3* db) {
  if (!ready_) return kSqliteError;
  return Get<decltype(&sqlite3_close)>(kClose)(db);
}

int SqliteLibrary::Prepare(sqlite3* db, std::string_view sql, sqlite3_stmt** stmt) {
  if (!ready_) return kSqliteError;
  return Get<decltype(&sqlite3_prepare_v2)>(kPrepare)(db, sql.data(), static_cast<int>(sql.size()), stmt, nullptr);
}

int SqliteLibrary::Step(sqlite3_stmt* stmt) {
  if (!ready_) return kSqliteError;
  return Get<decltype(&sqlite3_step)>(kStep)(stmt);
}

int SqliteLibrary::Finalize(sqlite3_stmt* stmt) {
  if (!ready_) return kSqliteError;
  return Get<decltype(&sqlite3_finalize)>(kFinalize)(stmt);
}

int SqliteLibrary::ColumnBytes(sqlite3_stmt* stmt, int column) {
  if (!ready_) return 0;
  return Get<decltype(&sqlite3_column_bytes)>(kColumnBytes)(stmt, column);
}

std::string SqliteLibrary::ColumnText(sqlite3_stmt* stmt, int column) {
  if (!ready_) return {};
  // The text first, then its length: asking for the length first could
  // make SQLite convert the value twice.
  const unsigned char* text = Get<decltype(&sqlite3_column_text)>(kColumnText)(stmt, column);
  int bytes = Get<decltype(&sqlite3_column_bytes)>(kColumnBytes)(stmt, column);
  return Utf8PtrToString(reinterpret_cast<const char*>(text), bytes > 0 ? static_cast<size_t>(bytes) : 0, *stray_);
}

std::string_view SqliteLibrary::ColumnView(sqlite3_stmt* stmt, int column, std::string& scratch) {
  if (!ready_) return {};
  const unsigned char* text = Get<decltype(&sqlite3_column_text)>(kColumnText)(stmt, column);
  int bytes = Get<decltype(&sqlite3_column_bytes)>(kColumnBytes)(stmt, column);
  return Utf8PtrToView(reinterpret_cast<const char*>(text), bytes > 0 ? static_cast<size_t>(bytes) : 0, scratch,
                       *stray_);
}

double SqliteLibrary::ColumnNumber(sqlite3_stmt* stmt, int column) {
  if (!ready_) return 0;
  if (Get<decltype(&sqlite3_column_type)>(kColumnType)(stmt, column) == SQLITE_INTEGER) {
    return static_cast<double>(Get<decltype(&sqlite3_column_int64)>(kColumnInt64)(stmt, column));
  }
  auto text = reinterpret_cast<const char*>(Get<decltype(&sqlite3_column_text)>(kColumnText)(stmt, column));
  int bytes = Get<decltype(&sqlite3_column_bytes)>(kColumnBytes)(stmt, column);
  if (!text || bytes <= 0) return 0;
  std::string_view view(text, static_cast<size_t>(bytes));
  return StoredNumber(view.substr(0, view.find('\0')));
}

std::optional<int64_t> SqliteLibrary::ColumnInteger(sqlite3_stmt* stmt, int column) {
  if (!ready_ || Get<decltype(&sqlite3_column_type)>(kColumnType)(stmt, column) != SQLITE_INTEGER) return std::nullopt;
  return Get<decltype(&sqlite3_column_int64)>(kColumnInt64)(stmt, column);
}

std::string_view SqliteLibrary::ColumnCountView(sqlite3_stmt* stmt, int column, std::string& scratch) {
  if (!ready_) return {};
  if (Get<decltype(&sqlite3_column_type)>(kColumnType)(stmt, column) != SQLITE_INTEGER) {
    return ColumnView(stmt, column, scratch);
  }
  char digits[24];
  const auto written =
      std::to_chars(digits, digits + sizeof digits, Get<decltype(&sqlite3_column_int64)>(kColumnInt64)(stmt, column));
  scratch.assign(digits, written.ptr);
  return scratch;
}

// ---- SqliteSession ----

SqliteSession::~SqliteSession() {
  try {
    if (db_) layer_.Close(db_);
  } catch (const BinderError&) {
  }
}

bool SqliteSession::Open(const std::string& file) { return OpenWith(file, false); }

bool SqliteSession::OpenCopy(const std::string& file) { return OpenWith(file, true); }

bool SqliteSession::OpenWith(const std::string& file, bool copy) {
  if (file.empty()) return false;
  if (db_) {
    layer_.Close(db_);
    db_ = nullptr;
  }
  if (!layer_.Ready() && (layer_.Load(SqliteLibraryFolder()) != SQLITE_OK || !layer_.Ready())) return false;
  sqlite3* db = nullptr;
  int rc = copy ? layer_.OpenCopy(file, &db) : layer_.Open(file, &db);
  db_ = db;  // even a failed open hands out a handle to be closed
  if (rc != SQLITE_OK || layer_.Harden(db_) != SQLITE_OK) return false;
  if (keepGoing_) layer_.SetProgressCheck(db_, AskKeepGoing, &keepGoing_);
  countMapped_ = layer_.ViewedReads() && OnFixedDisk(file);
  return true;
}

void SqliteSession::SetKeepGoing(std::function<bool()> keepGoing) {
  keepGoing_ = std::move(keepGoing);
  if (db_) layer_.SetProgressCheck(db_, keepGoing_ ? AskKeepGoing : nullptr, &keepGoing_);
}

bool SqliteSession::Locked() {
  int result = SQLITE_OK;
  Step(
      "SELECT count(*) FROM sqlite_master", [](const SqliteRow&) { return true; }, result);
  return result == SQLITE_BUSY || result == SQLITE_LOCKED;
}

bool SqliteSession::HasTable(std::string_view table) {
  bool found = false;
  ForEachRow("SELECT name FROM sqlite_master WHERE type='table'", [&](const SqliteRow& row) {
    found = ToLowerAscii(row.Text(0)) == ToLowerAscii(table);
    return !found;
  });
  return found;
}

bool SqliteSession::HasColumn(std::string_view table, std::string_view column) {
  if (!HasTable(table)) return false;
  bool found = false;
  ForEachRow("PRAGMA table_info(\"" + std::string(table) + "\")", [&](const SqliteRow& row) {
    found = ToLowerAscii(row.Text(1)) == ToLowerAscii(column);
    return !found;
  });
  return found;
}

double SqliteSession::Count(const std::string& sql) {
  // A count reads every page of an index once, which SQLite's own mapping
  // serves without a copy each. The mapping is let go as soon as the count
  // is known, before any row is read, so its pages are never held beside
  // the rows; its first 128 MB at most, since an index's pages lie all over
  // the file and every page around one touched is mapped with it.
  const auto pragma = [this](const char* text) { ForEachRow(text, [](const SqliteRow&) { return true; }); };
  if (countMapped_) pragma("PRAGMA mmap_size=134217728");
  ScopeExit unmap([&] {
    try {
      if (countMapped_) pragma("PRAGMA mmap_size=0");
    } catch (const BinderError&) {
    }
  });
  double total = 0;
  ForEachRow(sql, [&](const SqliteRow& row) {
    total = row.Number(0);
    return true;
  });
  return total;
}

std::size_t SqliteSession::ForEachRow(const std::string& sql, const std::function<bool(const SqliteRow&)>& onRow) {
  int lastResult = SQLITE_OK;
  return Step(sql, onRow, lastResult);
}

std::size_t SqliteSession::Step(const std::string& sql, const std::function<bool(const SqliteRow&)>& onRow,
                                int& lastResult) {
  if (!db_ || sql.empty()) return 0;
  sqlite3_stmt* stmt = nullptr;
  int rc = layer_.Prepare(db_, sql, &stmt);
  ScopeExit finalize([&] {
    try {
      if (stmt) layer_.Finalize(stmt);
    } catch (const BinderError&) {
    }
  });
  lastResult = rc;
  if (rc != SQLITE_OK || !stmt) return 0;
  std::size_t rows = 0;
  SqliteRow row(layer_, stmt);
  while ((lastResult = layer_.Step(stmt)) == SQLITE_ROW) {
    ++rows;
    if (!onRow(row)) break;
  }
  return rows;
}

// ---- file names ----

std::string SqliteOpenName(const std::string& file, bool immutable) {
  std::string uri = "file:";
  std::string path = ReplaceAll(file, "\\", "/");
  // "C:/x" needs the empty authority in front; "//server/share" keeps it.
  if (path.size() >= 2 && path[1] == ':')
    uri += "///";
  else if (StartsWith(path, "//"))
    uri += "//";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static constexpr char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
      uri += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      uri += c;
    }
  }
  uri += immutable ? "?immutable=1" : "?mode=ro";
  return uri;
}

bool NeedsImmutableOpen(const std::string& file) {
  UniqueFileHandle handle(CreateFileW(Widen(file).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return false;
  unsigned char header[20] = {};
  DWORD read = 0;
  if (!ReadFile(handle.get(), header, sizeof header, &read, nullptr) || read < sizeof header) return false;
  const bool sqlite = std::memcmp(header, "SQLite format 3", 16) == 0;
  const bool wal = header[18] == 2 || header[19] == 2;
  return sqlite && wal && !FileExists(file + "-wal");
}

}  // namespace tmr
