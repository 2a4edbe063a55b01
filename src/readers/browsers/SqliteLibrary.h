// The SQLite layer: tmere3.dll loaded from the program's folder for one
// read and released at its end, one wrapper per SQLite function, every
// column read as text. Databases are opened read-only, so a missing file
// is never created and no store is ever changed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/Utf8Text.h"
#include "platform/DynamicLibrary.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tmr {

inline constexpr int kSqliteOk = 0;
inline constexpr int kSqliteError = 1;
inline constexpr int kSqliteRow = 100;
inline constexpr int kSqliteDone = 101;

inline constexpr char kSqliteLibraryName[] = "tmere3.dll";

// The folder the readers load the library from; "" means the program's own
// folder. Tests point it at a folder without the library, or with another.
void SetSqliteLibraryFolder(std::string folder);
const std::string& SqliteLibraryFolder();

// Every wrapper returns the SQLite result code, or 1 without calling
// anything while the layer is not ready. A function the library lacks
// raises BinderError when it is first needed.
class SqliteLibrary {
 public:
  SqliteLibrary() = default;
  ~SqliteLibrary();
  SqliteLibrary(const SqliteLibrary&) = delete;
  SqliteLibrary& operator=(const SqliteLibrary&) = delete;

  // 0 when the library was loaded (ready only if it also initialised);
  // 1 when it could not be loaded.
  int Load(const std::string& folder);
  // 0 when the library shut down and was released; 1 otherwise.
  int Unload();
  bool Ready() const { return ready_; }
  // Whether stores opened read-only are read through mapped views.
  bool ViewedReads() const { return viewedReads_; }

  // The file name is UTF-8; the file is opened read-only.
  int Open(const std::string& file, sqlite3** db);
  // The program's own private copy of a store, opened for writing so that
  // SQLite can roll back the transaction its journal holds half-written.
  int OpenCopy(const std::string& file, sqlite3** db);
  int Close(sqlite3* db);
  int Prepare(sqlite3* db, std::string_view sql, sqlite3_stmt** stmt);
  int Step(sqlite3_stmt* stmt);
  int Finalize(sqlite3_stmt* stmt);
  int ColumnBytes(sqlite3_stmt* stmt, int column);
  // Treats the file as hostile: no schema-defined function or virtual table
  // is trusted, and the defensive mode keeps a statement from corrupting it.
  int Harden(sqlite3* db);
  // Calls check every few thousand steps of the machine; a false answer
  // interrupts the statement running (null removes the check).
  int SetProgressCheck(sqlite3* db, int (*check)(void*), void* context);
  // The value as text ("" for NULL), decoded leniently.
  std::string ColumnText(sqlite3_stmt* stmt, int column);
  // The same text without a copy where it needs no decoding: a view of
  // SQLite's own buffer (valid until the statement moves on) or of scratch.
  std::string_view ColumnView(sqlite3_stmt* stmt, int column, std::string& scratch);
  // The leading number of the value's text (0 for NULL or no number),
  // without making a string of it: time columns are read this way. An
  // integer is taken as it is stored, which is the number its text holds,
  // without SQLite writing it out as text first.
  double ColumnNumber(sqlite3_stmt* stmt, int column);
  // The value of an integer column as it is stored; nullopt for any other
  // type (a real, a text, NULL), which ColumnNumber reads.
  std::optional<int64_t> ColumnInteger(sqlite3_stmt* stmt, int column);
  // The text of a column of counts: an integer is written out here, in
  // scratch, where SQLite would convert it in the row's memory with an
  // allocation; any other value is read as ColumnView reads it.
  std::string_view ColumnCountView(sqlite3_stmt* stmt, int column, std::string& scratch);

 private:
  enum Slot {
    kInitialize,
    kShutdown,
    kOpen,
    kClose,
    kPrepare,
    kStep,
    kFinalize,
    kColumnText,
    kColumnBytes,
    kColumnType,
    kColumnInt64,
    kDbConfig,
    kProgressHandler,
    kVfsFind,
    kVfsRegister,
    kSlots
  };
  template <typename Fn>
  Fn Get(Slot slot);

  DynamicLibrary binder_;
  bool ready_ = false;
  // Read-only stores are read through mapped views (MappedFileVfs.h).
  bool viewedReads_ = false;
  const StrayByteTable* stray_ = nullptr;
  std::array<void*, kSlots> slots_{};
};

// One column set of the row a query stands on.
class SqliteRow {
 public:
  SqliteRow(SqliteLibrary& layer, sqlite3_stmt* stmt) : layer_(layer), stmt_(stmt) {}
  std::string Text(int column) const { return layer_.ColumnText(stmt_, column); }
  // Valid until the next step; text that had to be decoded is in scratch.
  std::string_view View(int column, std::string& scratch) const { return layer_.ColumnView(stmt_, column, scratch); }
  double Number(int column) const { return layer_.ColumnNumber(stmt_, column); }
  std::optional<int64_t> Integer(int column) const { return layer_.ColumnInteger(stmt_, column); }
  std::string_view CountView(int column, std::string& scratch) const {
    return layer_.ColumnCountView(stmt_, column, scratch);
  }

 private:
  SqliteLibrary& layer_;
  sqlite3_stmt* stmt_;
};

// One read of one database file by the reading sequence: load, open,
// queries, and at the end every statement, the database and the library
// released, whatever stopped the read.
class SqliteSession {
 public:
  SqliteSession() = default;
  ~SqliteSession();
  SqliteSession(const SqliteSession&) = delete;
  SqliteSession& operator=(const SqliteSession&) = delete;

  // Loads the library from SqliteLibraryFolder() and opens the file; false
  // when either fails (an empty file name fails too).
  bool Open(const std::string& file);
  // The same for a private copy of a store (see SqliteLibrary::OpenCopy).
  bool OpenCopy(const std::string& file);
  // Whether another connection's lock keeps this one from reading: the
  // store's writer holds it, as a running browser does.
  bool Locked();
  // Whether the file has a table (not a view) or a table's column by that name.
  bool HasTable(std::string_view table);
  bool HasColumn(std::string_view table, std::string_view column);
  // The number in column 0 of the query's last row; 0 without rows.
  // A store on a fixed disk is counted through SQLite's own mapping of it
  // (see the definition).
  double Count(const std::string& sql);
  // Asked between steps of the machine, not only between rows, so that a
  // query that runs long without a row still hears Cancel: false stops it.
  void SetKeepGoing(std::function<bool()> keepGoing);
  // Steps the query, handing every row to onRow until it returns false or
  // a step gives anything but a row (the end, a busy or locked file, a
  // damaged page, an interruption). Returns the number of rows handed over.
  // May be nested.
  std::size_t ForEachRow(const std::string& sql, const std::function<bool(const SqliteRow&)>& onRow);

 private:
  bool OpenWith(const std::string& file, bool copy);
  // The same, with the result code of the step that ended the query.
  std::size_t Step(const std::string& sql, const std::function<bool(const SqliteRow&)>& onRow, int& lastResult);

  SqliteLibrary layer_;
  sqlite3* db_ = nullptr;
  std::function<bool()> keepGoing_;
  bool countMapped_ = false;
};

// The name SQLite is given for a file: a read-only URI. A database in
// write-ahead-log mode whose log file is absent (nobody has it open) is
// opened as immutable, because otherwise SQLite would leave new "-wal" and
// "-shm" files beside it.
std::string SqliteOpenName(const std::string& file, bool immutable);
bool NeedsImmutableOpen(const std::string& file);

}  // namespace tmr
