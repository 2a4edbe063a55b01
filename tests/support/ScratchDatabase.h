// Writes SQLite databases for tests and benchmarks: real files made by the
// same SQLite the viewer ships, read-write (the viewer only ever reads).
// The library is loaded from a copy under another name, so this writer's
// connections live in a module of their own and the readers under test may
// initialise and shut down theirs freely, even while a lock is held here.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace tmr::test {

// The copy's file name, next to the test programs.
inline constexpr wchar_t kWriterLibrary[] = L"tm_sqlite_writer.dll";

class ScratchDatabase {
 public:
  // Creates the file when missing; throws std::runtime_error on failure.
  explicit ScratchDatabase(const std::filesystem::path& file);
  ~ScratchDatabase();
  ScratchDatabase(const ScratchDatabase&) = delete;
  ScratchDatabase& operator=(const ScratchDatabase&) = delete;

  // Runs one or more statements; throws with SQLite's message.
  void Exec(const std::string& sql);
  // Runs a query and returns every row's columns as text ("" for NULL).
  std::vector<std::vector<std::string>> Query(const std::string& sql);
  // Steps a query and reads every byte of every column as text without
  // keeping it, and returns the number of rows: the bare cost of a query.
  std::size_t StepAndRead(const std::string& sql);

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace tmr::test
