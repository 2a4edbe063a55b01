// Owners for Win32 handles: one small move-only type per kind, closed once.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

namespace tmr {

template <typename T, auto Close, auto Invalid>
class UniqueAny {
 public:
  UniqueAny() = default;
  explicit UniqueAny(T value) : value_(value) {}
  ~UniqueAny() { reset(); }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Invalid(); }
  T release() { return std::exchange(value_, Invalid()); }
  void reset(T value = Invalid()) {
    T old = std::exchange(value_, value);
    if (old != Invalid()) Close(old);
  }
  // For out-parameters: closes what is held and hands out the slot.
  T* put() {
    reset();
    return &value_;
  }

 private:
  T value_ = Invalid();
};

namespace handles_detail {
inline HANDLE NullHandle() { return nullptr; }
inline HANDLE InvalidHandle() { return INVALID_HANDLE_VALUE; }
inline HKEY NullKey() { return nullptr; }
inline HMODULE NullModule() { return nullptr; }
inline void CloseKey(HKEY key) { RegCloseKey(key); }
inline void CloseFind(HANDLE h) { FindClose(h); }
inline void CloseHandleFn(HANDLE h) { CloseHandle(h); }
inline void FreeLib(HMODULE m) { FreeLibrary(m); }
inline HINTERNET NullInternet() { return nullptr; }
inline void CloseInternet(HINTERNET h) { InternetCloseHandle(h); }
}  // namespace handles_detail

using UniqueHandle = UniqueAny<HANDLE, handles_detail::CloseHandleFn, handles_detail::NullHandle>;
using UniqueFileHandle = UniqueAny<HANDLE, handles_detail::CloseHandleFn, handles_detail::InvalidHandle>;
using UniqueHkey = UniqueAny<HKEY, handles_detail::CloseKey, handles_detail::NullKey>;
using UniqueHmodule = UniqueAny<HMODULE, handles_detail::FreeLib, handles_detail::NullModule>;
using UniqueHinternet = UniqueAny<HINTERNET, handles_detail::CloseInternet, handles_detail::NullInternet>;
using UniqueFindHandle = UniqueAny<HANDLE, handles_detail::CloseFind, handles_detail::InvalidHandle>;

// Runs a function when the scope ends.
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() {
    if (active_) f_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  void Dismiss() { active_ = false; }

 private:
  F f_;
  bool active_ = true;
};

}  // namespace tmr
