#include "readers/browsers/MappedFileVfs.h"

#include <windows.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "platform/Handles.h"
#include "platform/SharedFile.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

uint64_t g_remapAfterBytes = uint64_t{32} << 20;

// The library's own default layer, which opens, locks and reads every file
// this one does not serve, and the copy of it that is registered under this
// layer's name.
sqlite3_vfs* g_default = nullptr;
sqlite3_vfs g_mapped{};

class FileViews {
 public:
  static std::unique_ptr<FileViews> Map(const char* utf8Name) {
    if (!utf8Name) return nullptr;
    if (!OnFixedDisk(utf8Name)) return nullptr;
    const std::wstring path = Widen(utf8Name);
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return nullptr;
    if (static_cast<uint64_t>(size.QuadPart) > std::numeric_limits<std::size_t>::max()) return nullptr;
    UniqueHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return nullptr;
    return std::unique_ptr<FileViews>(new (std::nothrow)
                                          FileViews(std::move(mapping), static_cast<std::size_t>(size.QuadPart)));
  }

  ~FileViews() { Unmap(); }
  FileViews(const FileViews&) = delete;
  FileViews& operator=(const FileViews&) = delete;

  // Copies the bytes at offset; false when they are not all within the
  // length the file had when mapped, or the file cannot be mapped.
  bool Read(void* out, int amount, sqlite3_int64 offset) {
    if (amount < 0 || offset < 0) return false;
    const auto at = static_cast<uint64_t>(offset);
    if (at > length_ || static_cast<uint64_t>(amount) > length_ - at) return false;
    if (!view_) {
      view_ = static_cast<const char*>(MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0));
      if (!view_) return false;
    }
    std::memcpy(out, view_ + at, static_cast<std::size_t>(amount));
    // A page fault brings in its neighbours too (up to 64 KB around it), so
    // what the view holds is counted in such pieces, not in bytes read:
    // random lookups would otherwise fill it many times faster than they
    // read. Once it holds the budget, it is let go with all its pages, and
    // the next read maps the file again.
    const uint64_t last = amount > 0 ? (at + static_cast<uint64_t>(amount) - 1) >> kPieceShift : at >> kPieceShift;
    for (uint64_t piece = at >> kPieceShift; piece <= last; ++piece) {
      uint64_t& word = touched_[piece / 64];
      const uint64_t bit = uint64_t{1} << (piece % 64);
      if (word & bit) continue;
      word |= bit;
      held_ += uint64_t{1} << kPieceShift;
    }
    if (held_ >= remapAfter_) Unmap();
    return true;
  }

 private:
  FileViews(UniqueHandle mapping, std::size_t length)
      : mapping_(std::move(mapping)),
        length_(length),
        remapAfter_(g_remapAfterBytes),
        touched_(((length >> kPieceShift) + 1 + 63) / 64) {}

  void Unmap() {
    if (view_) UnmapViewOfFile(view_);
    view_ = nullptr;
    held_ = 0;
    std::fill(touched_.begin(), touched_.end(), 0);
  }

  static constexpr unsigned kPieceShift = 16;

  UniqueHandle mapping_;
  std::size_t length_;
  uint64_t remapAfter_;
  const char* view_ = nullptr;
  // One bit per 64 KB piece of the file touched through this view.
  std::vector<uint64_t> touched_;
  uint64_t held_ = 0;
};

// A main database opened read-only: the default layer's file follows this
// header in the same block, and every call but a read is passed to it.
struct ViewedFile {
  sqlite3_file base;
  FileViews* views;

  sqlite3_file* Inner() { return reinterpret_cast<sqlite3_file*>(this + 1); }
  static ViewedFile* Of(sqlite3_file* file) { return reinterpret_cast<ViewedFile*>(file); }
  static sqlite3_file* InnerOf(sqlite3_file* file) { return Of(file)->Inner(); }
  static const sqlite3_io_methods& Methods(sqlite3_file* file) { return *InnerOf(file)->pMethods; }
};

int Close(sqlite3_file* file) {
  ViewedFile* viewed = ViewedFile::Of(file);
  delete viewed->views;
  viewed->views = nullptr;
  return ViewedFile::Methods(file).xClose(viewed->Inner());
}

int Read(sqlite3_file* file, void* out, int amount, sqlite3_int64 offset) {
  ViewedFile* viewed = ViewedFile::Of(file);
  if (viewed->views && viewed->views->Read(out, amount, offset)) return SQLITE_OK;
  return ViewedFile::Methods(file).xRead(viewed->Inner(), out, amount, offset);
}

int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
  return ViewedFile::Methods(file).xWrite(ViewedFile::InnerOf(file), data, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
  return ViewedFile::Methods(file).xTruncate(ViewedFile::InnerOf(file), size);
}
int Sync(sqlite3_file* file, int flags) { return ViewedFile::Methods(file).xSync(ViewedFile::InnerOf(file), flags); }
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
  return ViewedFile::Methods(file).xFileSize(ViewedFile::InnerOf(file), size);
}
int Lock(sqlite3_file* file, int level) { return ViewedFile::Methods(file).xLock(ViewedFile::InnerOf(file), level); }
int Unlock(sqlite3_file* file, int level) {
  return ViewedFile::Methods(file).xUnlock(ViewedFile::InnerOf(file), level);
}
int CheckReservedLock(sqlite3_file* file, int* out) {
  return ViewedFile::Methods(file).xCheckReservedLock(ViewedFile::InnerOf(file), out);
}
int FileControl(sqlite3_file* file, int op, void* arg) {
  return ViewedFile::Methods(file).xFileControl(ViewedFile::InnerOf(file), op, arg);
}
int SectorSize(sqlite3_file* file) { return ViewedFile::Methods(file).xSectorSize(ViewedFile::InnerOf(file)); }
int DeviceCharacteristics(sqlite3_file* file) {
  return ViewedFile::Methods(file).xDeviceCharacteristics(ViewedFile::InnerOf(file));
}
int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** out) {
  return ViewedFile::Methods(file).xShmMap(ViewedFile::InnerOf(file), region, size, extend, out);
}
int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
  return ViewedFile::Methods(file).xShmLock(ViewedFile::InnerOf(file), offset, n, flags);
}
void ShmBarrier(sqlite3_file* file) { ViewedFile::Methods(file).xShmBarrier(ViewedFile::InnerOf(file)); }
int ShmUnmap(sqlite3_file* file, int deleteFlag) {
  return ViewedFile::Methods(file).xShmUnmap(ViewedFile::InnerOf(file), deleteFlag);
}
int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** out) {
  return ViewedFile::Methods(file).xFetch(ViewedFile::InnerOf(file), offset, amount, out);
}
int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* page) {
  return ViewedFile::Methods(file).xUnfetch(ViewedFile::InnerOf(file), offset, page);
}

// Version 3: the default layer's files answer every call up to the fetches.
constexpr sqlite3_io_methods kViewedMethods = {3,
                                               Close,
                                               Read,
                                               Write,
                                               Truncate,
                                               Sync,
                                               FileSize,
                                               Lock,
                                               Unlock,
                                               CheckReservedLock,
                                               FileControl,
                                               SectorSize,
                                               DeviceCharacteristics,
                                               ShmMap,
                                               ShmLock,
                                               ShmBarrier,
                                               ShmUnmap,
                                               Fetch,
                                               Unfetch};

int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
  const bool mainReadOnly = (flags & SQLITE_OPEN_MAIN_DB) && (flags & SQLITE_OPEN_READONLY);
  std::unique_ptr<FileViews> views = mainReadOnly ? FileViews::Map(name) : nullptr;
  if (!views) {
    // Served by the default layer alone, its file at the start of the block.
    return g_default->xOpen(g_default, name, file, flags, outFlags);
  }
  ViewedFile* viewed = ViewedFile::Of(file);
  viewed->base.pMethods = nullptr;
  viewed->views = nullptr;
  const int rc = g_default->xOpen(g_default, name, viewed->Inner(), flags, outFlags);
  if (rc != SQLITE_OK) {
    if (viewed->Inner()->pMethods) viewed->Inner()->pMethods->xClose(viewed->Inner());
    return rc;
  }
  if (viewed->Inner()->pMethods->iVersion < 3) {
    // A default layer older than the calls above: it reads for itself.
    viewed->Inner()->pMethods->xClose(viewed->Inner());
    return g_default->xOpen(g_default, name, file, flags, outFlags);
  }
  viewed->views = views.release();
  viewed->base.pMethods = &kViewedMethods;
  return SQLITE_OK;
}

}  // namespace

bool RegisterMappedFileVfs(SqliteVfsFind find, SqliteVfsRegister registerVfs) {
  if (!find || !registerVfs) return false;
  // Still registered with this instance (another session has it loaded).
  if (find(kMappedFileVfsName) == &g_mapped) return true;
  sqlite3_vfs* fallback = find(nullptr);
  if (!fallback || fallback == &g_mapped) return false;
  g_default = fallback;
  // Everything but the opening is the default layer's own, with its own
  // data: its calls read their settings through the layer they are given.
  g_mapped = *fallback;
  g_mapped.pNext = nullptr;
  g_mapped.zName = kMappedFileVfsName;
  g_mapped.szOsFile = static_cast<int>(sizeof(ViewedFile)) + fallback->szOsFile;
  g_mapped.xOpen = Open;
  return registerVfs(&g_mapped, 0) == SQLITE_OK;
}

uint64_t MappedReadsBeforeRemap() { return g_remapAfterBytes; }

void SetMappedReadsBeforeRemap(uint64_t bytes) { g_remapAfterBytes = std::max<uint64_t>(bytes, 1); }

}  // namespace tmr
