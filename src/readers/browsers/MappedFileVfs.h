// How the readers' SQLite reads a store opened read-only: each page is
// copied from a view of the whole file, instead of a file read per page
// (slow under some systems). SQLite's own mapping would keep every page it
// touched in the working set until the store is closed, beside the rows
// read from them; this view is let go after every few tens of megabytes
// touched and mapped again on the next read, which keeps the memory for
// pages bounded, while a join's random lookups still cost little more than
// a copy.
#pragma once

#include <cstdint>

struct sqlite3_vfs;

namespace tmr {

inline constexpr char kMappedFileVfsName[] = "tmere-mapped-views";

using SqliteVfsFind = sqlite3_vfs* (*)(const char*);
using SqliteVfsRegister = int (*)(sqlite3_vfs*, int);

// Registers the layer with the library instance just loaded, around that
// instance's default one; false when that fails. Register again after each
// load: the previous instance's layer went with it.
bool RegisterMappedFileVfs(SqliteVfsFind find, SqliteVfsRegister registerVfs);

// How much of the file (counted in 64 KB pieces touched) one mapping may
// hold before it is let go. Tests make it small, to see reads go on across
// new mappings.
uint64_t MappedReadsBeforeRemap();
void SetMappedReadsBeforeRemap(uint64_t bytes);

}  // namespace tmr
