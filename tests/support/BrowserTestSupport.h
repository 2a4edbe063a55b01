// A user's browser profiles in a temp folder, found through the scratch
// registry's shell folders, with the real fixture databases copied in; and
// what the tests compare the readers' rows with.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/Fixtures.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr::test {

namespace fs = std::filesystem;

// The file's SHA-256 as lower-case hex ("" when it cannot be read).
std::string Sha256OfFile(const fs::path& file);
std::string Utf8(const fs::path& path);

class BrowserProfile {
 public:
  BrowserProfile();
  // Points the shell folders at the profile again (after a hive import
  // replaced them).
  void PointShellFolders();
  const fs::path& Root() const { return temp_.path(); }
  // Created on first use: "<AppData>\Mozilla\Firefox\Profiles\x1y2.default"
  // and "<Local AppData>\Google\Chrome\User Data\Default".
  fs::path FirefoxFolder() const;
  fs::path ChromeFolder() const;
  // Copies a fixture (made writable, as a user's own file is) and returns
  // the copy's path.
  fs::path CopyFixture(std::string_view fixture, const fs::path& to) const;
  // Every real browser database, under the names the readers open.
  void CopyRealDatabases() const;
  // Writes a file below the root.
  fs::path Write(std::string_view relative, std::string_view bytes) const { return temp_.Write(relative, bytes); }
  // Every file below the root with its size, to show nothing was added.
  std::vector<std::string> Listing() const;

 private:
  TempDir temp_;
  ScratchRegistry registry_;
};

// The general-date text of a UTC time given in whole seconds since 1970,
// shifted by the current offset, worked out by day counts.
std::string ExpectedLocalText(long long unixSeconds);
// The same from the texts stored in the databases.
std::string ExpectedChromeTime(const std::string& microsecondsSince1601);
std::string ExpectedPRTime(const std::string& microsecondsSince1970);

}  // namespace tmr::test
