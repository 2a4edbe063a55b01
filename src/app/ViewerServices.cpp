#include "app/ViewerServices.h"

#include "browsers/BrowserSources.h"
#include "windows/RegistryAccess.h"

namespace tmr {

inline constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void RegisterAllSources(SourceTable& table) {
  RegisterBrowserSources(table);
}

ViewerServices MakeViewerServices() {
  ViewerServices services;
  services.cookieFolder = [] {
    std::string folder = GetRegText(HKEY_CURRENT_USER, kShellFolders, "Cookies");
    return folder == kRegError ? std::string() : folder;
  };
  return services;
}

}  // namespace tmr
