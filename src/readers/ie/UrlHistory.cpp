#include "readers/ie/UrlHistory.h"

#include <cstring>

#include "core/TextUtil.h"
#include "core/UrlCacheContainer.h"
#include "platform/LocalTimeText.h"
#include "platform/Registry.h"
#include "platform/SharedFile.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

// Spelled out here rather than taken from the SDK's import library, which
// not every MinGW-w64 release fills in.
constexpr GUID kClsidUrlHistory = {0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
constexpr GUID kIidUrlHistoryStg2 = {0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};
constexpr GUID kIidEnumStatUrl = {0x3C374A42, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};

// A global history container of this size would hold millions of entries;
// anything larger is not one.
constexpr size_t kMaxContainerBytes = size_t{256} << 20;
// Guards against an enumerator that never reports its end.
constexpr size_t kMaxItems = size_t{1} << 24;

struct OwnEntry {
  std::wstring url;
  bool hasTitle = false;
  std::wstring title;
  FILETIME lastVisited{};
  FILETIME lastUpdated{};
};
using OwnEntries = std::shared_ptr<const std::vector<OwnEntry>>;

FILETIME ToFileTime(uint64_t value) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(value);
  time.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return time;
}

LPWSTR CoTaskCopy(const std::wstring& text) {
  auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
  if (copy) std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  return copy;
}

// The enumerator of the program's own store, with the platform's semantics:
// records handed out by Next own CoTaskMemAlloc'd texts that the caller
// frees; SetFilter keeps the entries whose URL begins with the filter.
// Filter flags are accepted but select nothing further: the containers do
// not record which entries are cached or top-level.
class ContainerEnumerator final : public IEnumSTATURL {
 public:
  explicit ContainerEnumerator(OwnEntries entries) : entries_(std::move(entries)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidEnumStatUrl)) {
      *out = static_cast<IEnumSTATURL*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG celt, LPSTATURL rgelt, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    if (!rgelt || (celt > 1 && !fetched)) return E_INVALIDARG;
    ULONG count = 0;
    while (count < celt && SeekMatch()) {
      const OwnEntry& entry = (*entries_)[at_];
      STATURL& record = rgelt[count];
      record.pwcsUrl = CoTaskCopy(entry.url);
      record.pwcsTitle = entry.hasTitle ? CoTaskCopy(entry.title) : nullptr;
      if (!record.pwcsUrl || (entry.hasTitle && !record.pwcsTitle)) {
        CoTaskMemFree(record.pwcsUrl);
        CoTaskMemFree(record.pwcsTitle);
        record.pwcsUrl = record.pwcsTitle = nullptr;
        return E_OUTOFMEMORY;
      }
      record.ftLastVisited = entry.lastVisited;
      record.ftLastUpdated = entry.lastUpdated;
      record.ftExpires = FILETIME{};
      record.dwFlags = 0;
      ++at_;
      ++count;
      if (fetched) *fetched = count;
    }
    return count == celt ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override {
    for (ULONG i = 0; i < celt; ++i, ++at_) {
      if (!SeekMatch()) return S_FALSE;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    at_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumSTATURL** out) override {
    if (!out) return E_POINTER;
    auto* copy = new (std::nothrow) ContainerEnumerator(entries_);
    if (!copy) return E_OUTOFMEMORY;
    copy->filter_ = filter_;
    copy->at_ = at_;
    *out = copy;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetFilter(LPCOLESTR filter, DWORD flags) override {
    (void)flags;
    filter_ = filter ? filter : L"";
    return S_OK;
  }

 private:
  ~ContainerEnumerator() = default;

  // Moves to the next entry that passes the filter; false at the end.
  bool SeekMatch() {
    while (at_ < entries_->size() && (*entries_)[at_].url.compare(0, filter_.size(), filter_) != 0) ++at_;
    return at_ < entries_->size();
  }

  LONG refs_ = 1;
  OwnEntries entries_;
  std::wstring filter_;
  size_t at_ = 0;
};

}  // namespace

std::string UrlHistoryItem::Url() const { return hasUrl_ ? Narrow(url_) : std::string(); }
std::string UrlHistoryItem::Title() const { return hasTitle_ ? Narrow(title_) : std::string(); }
std::optional<DateTime> UrlHistoryItem::LastVisited() const { return FileTimeToDate(lastVisited_); }

void UrlHistoryItem::CopyRecord(const STATURL& record) {
  hasUrl_ = record.pwcsUrl != nullptr;
  url_ = hasUrl_ ? record.pwcsUrl : L"";
  hasTitle_ = record.pwcsTitle != nullptr;
  title_ = hasTitle_ ? record.pwcsTitle : L"";
  lastVisited_ = record.ftLastVisited;
  lastUpdated_ = record.ftLastUpdated;
  expires_ = record.ftExpires;
  flags_ = record.dwFlags;
}

std::vector<std::string> ContainerHistoryStore::ContainerFiles() const {
  std::string folder = Trim(source_->Folder(TraceFolder::kHistory));
  if (folder.empty()) return {};
  if (folder.back() != '\\') folder += '\\';
  std::vector<std::string> files{folder + "History.IE5\\index.dat"};
  // Protected mode keeps a second history for low-integrity pages.
  if (source_->WindowsFamily() == "Vista") files.push_back(folder + "Low\\History.IE5\\index.dat");
  return files;
}

HRESULT ContainerHistoryStore::EnumUrls(IEnumSTATURL** enumerator) const {
  if (!enumerator) return E_POINTER;
  *enumerator = nullptr;
  const std::vector<std::string> files = ContainerFiles();
  if (files.empty()) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
  std::vector<VisitedEntry> visited;
  for (const std::string& file : files) {
    if (auto bytes = ReadWholeFile(file, kMaxContainerBytes)) MergeVisitedEntries(visited, ReadVisitedEntries(*bytes));
  }
  auto entries = std::make_shared<std::vector<OwnEntry>>();
  entries->reserve(visited.size());
  for (const VisitedEntry& v : visited) {
    OwnEntry entry;
    entry.url = Widen(AnsiToUtf8(v.url));
    entry.hasTitle = v.hasTitle;
    entry.title.assign(v.title.begin(), v.title.end());
    entry.lastVisited = ToFileTime(v.lastVisited);
    entry.lastUpdated = ToFileTime(v.lastUpdated);
    entries->push_back(std::move(entry));
  }
  auto* created = new (std::nothrow) ContainerEnumerator(std::move(entries));
  if (!created) return E_OUTOFMEMORY;
  *enumerator = created;
  return S_OK;
}

UrlHistory::UrlHistory(const TraceSource& source) : own_(source) {
  void* store = nullptr;
  if (source.Live() &&
      SUCCEEDED(CoCreateInstance(kClsidUrlHistory, nullptr, CLSCTX_INPROC_SERVER, kIidUrlHistoryStg2, &store))) {
    platform_ = static_cast<IUrlHistoryStg2*>(store);
  }
  Refresh("", 0);
}

UrlHistory::~UrlHistory() {
  if (platform_) platform_->Release();
}

bool UrlHistory::Refresh(const std::string& urlStartsWith, uint32_t flags) {
  items_.clear();
  answeredByPlatform_ = false;
  const std::wstring prefix = Widen(urlStartsWith);

  IEnumSTATURL* entries = nullptr;
  if (platform_ && SUCCEEDED(platform_->EnumUrls(&entries)) && entries) {
    if (SUCCEEDED(entries->SetFilter(prefix.c_str(), flags))) {
      answeredByPlatform_ = true;
    } else {
      entries->Release();
      entries = nullptr;
    }
  }
  if (!entries) {
    if (FAILED(own_.EnumUrls(&entries)) || !entries) return false;
    entries->SetFilter(prefix.c_str(), flags);
  }

  while (items_.size() < kMaxItems) {
    STATURL record{};
    ULONG fetched = 0;
    HRESULT result = entries->Next(1, &record, &fetched);
    if (result == S_OK && fetched == 1) {
      auto item = std::make_shared<UrlHistoryItem>();
      item->CopyRecord(record);
      items_.push_back(std::move(item));
    }
    CoTaskMemFree(record.pwcsUrl);
    CoTaskMemFree(record.pwcsTitle);
    if (result != S_OK || fetched != 1) break;
  }
  entries->Release();
  return true;
}

}  // namespace tmr
