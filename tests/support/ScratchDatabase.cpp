#include "support/ScratchDatabase.h"

#include <windows.h>
#include <sqlite3.h>

#include <stdexcept>

#include "platform/Handles.h"

namespace tmr::test {
namespace {

struct Api {
  decltype(&sqlite3_open_v2) open;
  decltype(&sqlite3_close) close;
  decltype(&sqlite3_exec) exec;
  decltype(&sqlite3_errmsg) errmsg;
  decltype(&sqlite3_prepare_v2) prepare;
  decltype(&sqlite3_step) step;
  decltype(&sqlite3_column_count) columnCount;
  decltype(&sqlite3_column_text) columnText;
  decltype(&sqlite3_column_bytes) columnBytes;
  decltype(&sqlite3_finalize) finalize;
};

template <typename Fn>
void Bind(HMODULE module, const char* name, Fn& slot) {
  slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (!slot) throw std::runtime_error(std::string("writer library lacks ") + name);
}

const Api& Writer() {
  static const Api api = [] {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::filesystem::path library = std::filesystem::path(self).parent_path() / kWriterLibrary;
    HMODULE module = LoadLibraryW(library.c_str());  // kept for the whole run
    if (!module) throw std::runtime_error("cannot load " + library.string());
    Api a{};
    Bind(module, "sqlite3_open_v2", a.open);
    Bind(module, "sqlite3_close", a.close);
    Bind(module, "sqlite3_exec", a.exec);
    Bind(module, "sqlite3_errmsg", a.errmsg);
    Bind(module, "sqlite3_prepare_v2", a.prepare);
    Bind(module, "sqlite3_step", a.step);
    Bind(module, "sqlite3_column_count", a.columnCount);
    Bind(module, "sqlite3_column_text", a.columnText);
    Bind(module, "sqlite3_column_bytes", a.columnBytes);
    Bind(module, "sqlite3_finalize", a.finalize);
    return a;
  }();
  return api;
}

}  // namespace

ScratchDatabase::ScratchDatabase(const std::filesystem::path& file) {
  auto u8 = file.u8string();
  std::string name(u8.begin(), u8.end());
  if (Writer().open(name.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    std::string message = db_ ? Writer().errmsg(db_) : "out of memory";
    Writer().close(db_);
    db_ = nullptr;
    throw std::runtime_error("cannot open " + name + ": " + message);
  }
}

ScratchDatabase::~ScratchDatabase() { Writer().close(db_); }

void ScratchDatabase::Exec(const std::string& sql) {
  if (Writer().exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string(Writer().errmsg(db_)) + " in: " + sql.substr(0, 200));
  }
}

std::vector<std::vector<std::string>> ScratchDatabase::Query(const std::string& sql) {
  const Api& api = Writer();
  sqlite3_stmt* stmt = nullptr;
  if (api.prepare(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string(api.errmsg(db_)) + " in: " + sql);
  }
  ScopeExit finalize([&] { api.finalize(stmt); });
  std::vector<std::vector<std::string>> rows;
  while (api.step(stmt) == SQLITE_ROW) {
    auto& row = rows.emplace_back();
    for (int c = 0; c < api.columnCount(stmt); ++c) {
      auto* text = reinterpret_cast<const char*>(api.columnText(stmt, c));
      row.emplace_back(text ? std::string(text, static_cast<size_t>(api.columnBytes(stmt, c))) : std::string());
    }
  }
  return rows;
}

std::size_t ScratchDatabase::StepAndRead(const std::string& sql) {
  const Api& api = Writer();
  sqlite3_stmt* stmt = nullptr;
  if (api.prepare(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string(api.errmsg(db_)) + " in: " + sql);
  }
  ScopeExit finalize([&] { api.finalize(stmt); });
  std::size_t rows = 0;
  unsigned sum = 0;
  const int columns = api.columnCount(stmt);
  while (api.step(stmt) == SQLITE_ROW) {
    ++rows;
    for (int c = 0; c < columns; ++c) {
      const unsigned char* text = api.columnText(stmt, c);
      const int bytes = api.columnBytes(stmt, c);
      for (int i = 0; text && i < bytes; ++i) sum += text[i];
    }
  }
  // Every byte is read: the sum must not be optimised away.
  [[maybe_unused]] static volatile unsigned keep;
  keep = sum;
  return rows;
}

}  // namespace tmr::test
