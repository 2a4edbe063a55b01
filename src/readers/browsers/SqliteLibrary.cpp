#include "readers/browsers/SqliteLibrary.h"

#include <windows.h>
#include <shlwapi.h>
#include <sqlite3.h>

#include <cstring>

#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/LocalTimeText.h"
#include "platform/Shell.h"
#include "platform/SystemStrayBytes.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

std::string& LibraryFolderSetting() {
  static std::string folder;
  return folder;
}

constexpr const char* kNames[] = {"sqlite3_initialize",  "sqlite3_shutdown",    "sqlite3_open_v2",
                                  "sqlite3_close",       "sqlite3_prepare_v2",  "sqlite3_step",
                                  "sqlite3_finalize",    "sqlite3_column_text", "sqlite3_column_bytes",
                                  "sqlite3_column_type", "sqlite3_column_int64"};

std::string Canonical(std::string folder) {
  if (!EndsWith(folder, "\\")) folder += '\\';
  std::wstring wide = Widen(folder);
  wchar_t buffer[MAX_PATH] = {};
  if (wide.size() < MAX_PATH && PathCanonicalizeW(buffer, wide.c_str())) return Narrow(buffer);
  return folder;
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void SetSqliteLibraryFolder(std::string folder) { LibraryFolderSetting() = std::move(folder); }
const std::string& SqliteLibraryFolder() { return LibraryFolderSetting(); }

// ---- SqliteLibrary ----

SqliteLibrary::~SqliteLibrary() {
  if (!binder_.Loaded()) return;
  try {
    if (ready_) Get<decltype(&sqlite3_shutdown)>(kShutdown)();
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
  return SQLITE_OK;
}

int SqliteLibrary::Unload() {
  if (!binder_.Loaded()) return kSqliteError;
  if (Get<decltype(&sqlite3_shutdown)>(kShutdown)() != SQLITE_OK) return kSqliteError;
  binder_.Unload();
  slots_.fill(nullptr);
  ready_ = false;
  return SQLITE_OK;
}

int SqliteLibrary::Open(const std::string& file, sqlite3** db) {
  if (!ready_) return kSqliteError;
  std::string name = SqliteOpenName(file, NeedsImmutableOpen(file));
  return Get<decltype(&sqlite3_open_v2)>(kOpen)(name.c_str(), db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
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

// ---- SqliteSession ----

SqliteSession::~SqliteSession() {
  try {
    if (db_) layer_.Close(db_);
  } catch (const BinderError&) {
  }
}

bool SqliteSession::Open(const std::string& file) {
  if (file.empty()) return false;
  if (layer_.Load(SqliteLibraryFolder()) != SQLITE_OK || !layer_.Ready()) return false;
  sqlite3* db = nullptr;
  int rc = layer_.Open(file, &db);
  db_ = db;  // even a failed open hands out a handle to be closed
  return rc == SQLITE_OK;
}

double SqliteSession::Count(const std::string& sql) {
  double total = 0;
  ForEachRow(sql, [&](const SqliteRow& row) {
    total = row.Number(0);
    return true;
  });
  return total;
}

std::size_t SqliteSession::ForEachRow(const std::string& sql, const std::function<bool(const SqliteRow&)>& onRow) {
  if (!db_ || sql.empty()) return 0;
  sqlite3_stmt* stmt = nullptr;
  int rc = layer_.Prepare(db_, sql, &stmt);
  ScopeExit finalize([&] {
    try {
      if (stmt) layer_.Finalize(stmt);
    } catch (const BinderError&) {
    }
  });
  if (rc != SQLITE_OK || !stmt) return 0;
  std::size_t rows = 0;
  SqliteRow row(layer_, stmt);
  while (layer_.Step(stmt) == SQLITE_ROW) {
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
