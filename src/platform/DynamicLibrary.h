// A library loaded at run time by path, and its functions found by name.
// Callers turn what Resolve finds into a typed function pointer, so the
// compiler checks every call; no call stub is generated.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tmr {

inline constexpr uint32_t kErrDllNotLoaded = 0x80040000;
inline constexpr uint32_t kErrFunctionNotFound = 0x80040001;

// Raised when a function is wanted from no library, or one the library
// lacks. The readers catch it and keep the rows they have.
class BinderError : public std::runtime_error {
 public:
  BinderError(uint32_t number, const std::string& description) : std::runtime_error(description), number_(number) {}
  uint32_t Number() const { return number_; }
  static constexpr std::string_view Source() { return "DynamicLibrary"; }

 private:
  uint32_t number_;
};

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary() { Unload(); }
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library file (a full path); false when it cannot be loaded.
  bool Load(const std::string& path);
  // Releases the library; false when none is loaded or the release fails.
  bool Unload();
  bool Loaded() const { return module_ != nullptr; }

  // The address of the named function. Throws BinderError: "DLL not
  // loaded", or "Failed to locate function: " and the name as spelled.
  void* Resolve(std::string_view name) const;

  template <typename Fn>
  Fn Function(std::string_view name) const {
    return reinterpret_cast<Fn>(Resolve(name));
  }

 private:
  HMODULE module_ = nullptr;
};

}  // namespace tmr
