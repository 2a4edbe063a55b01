#include "platform/DynamicLibrary.h"

#include "platform/WinText.h"

namespace tmr {

bool DynamicLibrary::Load(const std::string& path) {
  Unload();
  module_ = LoadLibraryW(Widen(path).c_str());
  return module_ != nullptr;
}

bool DynamicLibrary::Unload() {
  if (!module_) return false;
  bool freed = FreeLibrary(module_) != FALSE;
  module_ = nullptr;
  return freed;
}

void* DynamicLibrary::Resolve(std::string_view name) const {
  if (!module_) throw BinderError(kErrDllNotLoaded, "DLL not loaded");
  FARPROC address = GetProcAddress(module_, std::string(name).c_str());
  if (!address) throw BinderError(kErrFunctionNotFound, "Failed to locate function: " + std::string(name));
  return reinterpret_cast<void*>(address);
}

}  // namespace tmr
