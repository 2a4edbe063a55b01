// The Internet Explorer URL history: UrlHistory holds the store and a
// collection of UrlHistoryItem objects that Refresh rebuilds.
//
// The store is the platform's COM object. Where it cannot be created, or its
// enumeration fails (Wine answers EnumUrls with E_NOTIMPL), the same calls
// are answered by the program's own store, which reads the user's history
// containers (see UrlCacheContainer.h) and hands out the same enumerator
// interface.
#pragma once

#include <windows.h>
#include <urlhist.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/EpochTime.h"
#include "readers/TraceSource.h"

namespace tmr {

class UrlHistoryItem {
 public:
  // The texts of the store's record; "" where the store gave none.
  std::string Url() const;
  std::string Title() const;
  // The last visit as a local date-time; nullopt for a time no calendar
  // date can show.
  std::optional<DateTime> LastVisited() const;
  // The record's time of the last visit (UTC), as the store gave it.
  const FILETIME& LastVisitedTime() const { return lastVisited_; }
  DWORD Flags() const { return flags_; }

 private:
  friend class UrlHistory;
  // Takes copies of the record's texts; the record keeps its own.
  void CopyRecord(const STATURL& record);

  bool hasUrl_ = false;
  bool hasTitle_ = false;
  std::wstring url_;
  std::wstring title_;
  FILETIME lastVisited_{};
  FILETIME lastUpdated_{};
  FILETIME expires_{};
  DWORD flags_ = 0;
};

// The program's own store: the global history containers of the user's
// "History" shell folder, with the low-integrity one on Vista and later.
// Read afresh by every EnumUrls.
class ContainerHistoryStore {
 public:
  explicit ContainerHistoryStore(const TraceSource& source) : source_(&source) {}
  // The container files, in the order their entries are listed.
  std::vector<std::string> ContainerFiles() const;
  // S_OK and an enumerator over every visited entry of the containers
  // (none when there is no container); a failure when the user has no
  // "History" folder.
  HRESULT EnumUrls(IEnumSTATURL** enumerator) const;

 private:
  const TraceSource* source_;
};

class UrlHistory {
 public:
  using Items = std::vector<std::shared_ptr<UrlHistoryItem>>;

  // Creates the platform's store (COM must be initialised on the thread),
  // then Refresh("", 0). The platform's store holds this PC's history
  // only: another source is read from its containers alone.
  explicit UrlHistory(const TraceSource& source = LiveTraceSource());
  ~UrlHistory();
  UrlHistory(const UrlHistory&) = delete;
  UrlHistory& operator=(const UrlHistory&) = delete;

  // Rebuilds the collection from the entries whose URL begins with
  // urlStartsWith (case-sensitive), in the store's order. False when no
  // store could enumerate; the collection is empty then.
  bool Refresh(const std::string& urlStartsWith, uint32_t flags);

  // The collection, in order (the for-each enumeration).
  const Items& Collection() const { return items_; }
  Items::const_iterator begin() const { return items_.begin(); }
  Items::const_iterator end() const { return items_.end(); }

  // Whether the platform's store object exists, and whether it answered the
  // last Refresh (Wine's exists but cannot enumerate).
  bool PlatformStoreCreated() const { return platform_ != nullptr; }
  bool AnsweredByPlatform() const { return answeredByPlatform_; }

 private:
  IUrlHistoryStg2* platform_ = nullptr;
  ContainerHistoryStore own_;
  Items items_;
  bool answeredByPlatform_ = false;
};

}  // namespace tmr
