#include "support/BrowserTestSupport.h"

#include <windows.h>
#include <bcrypt.h>

#include <cmath>
#include <fstream>
#include <stdexcept>

#include "core/CivilDate.h"
#include "platform/LocalTimeText.h"

namespace tmr::test {

std::string Utf8(const fs::path& path) {
  auto u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

std::string Sha256OfFile(const fs::path& file) {
  std::string bytes = ReadFileBytes(file);
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return {};
  unsigned char digest[32] = {};
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0 &&
            BCryptHashData(hash, reinterpret_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(bytes.size()), 0) == 0 &&
            BCryptFinishHash(hash, digest, sizeof digest, 0) == 0;
  if (hash) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  if (!ok) return {};
  std::string hex;
  for (unsigned char b : digest) {
    static constexpr char kHex[] = "0123456789abcdef";
    hex += kHex[b >> 4];
    hex += kHex[b & 15];
  }
  return hex;
}

BrowserProfile::BrowserProfile() { PointShellFolders(); }

void BrowserProfile::PointShellFolders() {
  constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  registry_.SetString(HKEY_CURRENT_USER, kShellFolders, "AppData", Utf8(temp_.path() / "Roaming"));
  registry_.SetString(HKEY_CURRENT_USER, kShellFolders, "Local AppData", Utf8(temp_.path() / "Local"));
}

fs::path BrowserProfile::FirefoxFolder() const {
  fs::path folder = temp_.path() / "Roaming" / "Mozilla" / "Firefox" / "Profiles" / "x1y2.default";
  fs::create_directories(folder);
  return folder;
}

fs::path BrowserProfile::ChromeFolder() const {
  fs::path folder = temp_.path() / "Local" / "Google" / "Chrome" / "User Data" / "Default";
  fs::create_directories(folder);
  return folder;
}

fs::path BrowserProfile::CopyFixture(std::string_view fixture, const fs::path& to) const {
  const fs::path from = FixturePath(fixture);
  if (!fs::exists(from)) throw std::runtime_error("fixture missing: " + from.string());
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
  return to;
}

void BrowserProfile::CopyRealDatabases() const {
  const fs::path chrome = ChromeFolder();
  CopyFixture("chrome/History-schema20", chrome / "History");
  CopyFixture("chrome/Cookies-v10", chrome / "Cookies");
  const fs::path firefox = FirefoxFolder();
  CopyFixture("firefox/places.sqlite", firefox / "places.sqlite");
  CopyFixture("firefox/cookies.sqlite", firefox / "cookies.sqlite");
  CopyFixture("firefox/downloads.sqlite", firefox / "downloads.sqlite");
}

std::vector<std::string> BrowserProfile::Listing() const {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(temp_.path())) {
    std::string line = Utf8(fs::relative(entry.path(), temp_.path()));
    if (entry.is_regular_file()) {
      line += ' ';
      line += std::to_string(entry.file_size());
    }
    files.push_back(line);
  }
  return files;
}

std::string ExpectedLocalText(long long unixSeconds) {
  long long local = unixSeconds + static_cast<long long>(std::lround(LocalUtcOffsetHours() * 3600.0));
  long long days = local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
  long long second = local - days * 86400;
  CivilDate date = CivilFromDays(days);
  return GeneralDateText(DateTime{date.year, date.month, date.day, static_cast<int>(second / 3600),
                                  static_cast<int>(second / 60 % 60), static_cast<int>(second % 60)});
}

std::string ExpectedChromeTime(const std::string& microsecondsSince1601) {
  long long micro = std::stoll(microsecondsSince1601.empty() ? "0" : microsecondsSince1601);
  return ExpectedLocalText(micro / 1000000 - 11644473600LL);
}

std::string ExpectedPRTime(const std::string& microsecondsSince1970) {
  long long micro = std::stoll(microsecondsSince1970.empty() ? "0" : microsecondsSince1970);
  return micro == 0 ? std::string() : ExpectedLocalText(micro / 1000000);
}

}  // namespace tmr::test
