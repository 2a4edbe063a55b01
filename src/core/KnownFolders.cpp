#include "core/KnownFolders.h"

#include <array>
#include <utility>

namespace tmr {
namespace {

constexpr std::size_t kBracedLength = 38;  // {8-4-4-4-12}

// From the KNOWNFOLDERID reference; 64-bit Windows, where the identifiers
// that differ between the program folders matter.
constexpr std::array<std::pair<std::string_view, std::string_view>, 30> kFolders{{
    {"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}", "%windir%\\System32"},
    {"{D65231B0-B2F1-4857-A4CE-A8E7C6EA7D27}", "%windir%\\SysWOW64"},
    {"{F38BF404-1D43-42F2-9305-67DE0B28FC23}", "%windir%"},
    {"{905E63B6-C1BF-494E-B29C-65B732D3D21A}", "%ProgramFiles%"},
    {"{6D809377-6AF0-444B-8957-A3773F02200E}", "%ProgramFiles%"},
    {"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}", "%ProgramFiles(x86)%"},
    {"{F7F1ED05-9F6D-47A2-AAAE-29D317C6F066}", "%ProgramFiles%\\Common Files"},
    {"{6365D5A7-0F0D-45E5-87F6-0DA56B6A4F7D}", "%ProgramFiles%\\Common Files"},
    {"{DE974D24-D9C6-4D3E-BF91-F4455120B917}", "%ProgramFiles(x86)%\\Common Files"},
    {"{62AB5D82-FDC1-4DC3-A9DD-070D1D495D97}", "%ProgramData%"},
    {"{A4115719-D62E-491D-AA7C-E74B8BE3B067}", "%ProgramData%\\Microsoft\\Windows\\Start Menu"},
    {"{0139D44E-6AFE-49F2-8690-3DAFCAE6FFB8}", "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs"},
    {"{82A5EA35-D9CD-47C5-9629-E15D2F714E6E}", "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
    {"{D0384E7D-BAC3-4797-8F14-CBA229B392B5}",
     "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"},
    {"{0762D272-C50A-4BB0-A382-697DCD729B80}", "%SystemDrive%\\Users"},
    {"{DFDF76A2-C82A-4D63-906A-5644AC457385}", "%PUBLIC%"},
    {"{C4AA340D-F20F-4863-AFEF-F87EF2E6BA25}", "%PUBLIC%\\Desktop"},
    {"{5E6C858F-0E22-4760-9AFE-EA3317B67173}", "%USERPROFILE%"},
    {"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}", "%USERPROFILE%\\Desktop"},
    {"{FDD39AD0-238F-46AF-ADB4-6C85480369C7}", "%USERPROFILE%\\Documents"},
    {"{374DE290-123F-4565-9164-39C4925E467B}", "%USERPROFILE%\\Downloads"},
    {"{33E28130-4E1E-4676-835A-98395C3BC3BB}", "%USERPROFILE%\\Pictures"},
    {"{F1B32785-6FBA-4FCF-9D55-7B8E7F157091}", "%LOCALAPPDATA%"},
    {"{3EB685DB-65F9-4CF6-A03A-E3EF65729F3D}", "%APPDATA%"},
    {"{625B53C3-AB48-4EC1-BA1F-A1EF4146FC19}", "%APPDATA%\\Microsoft\\Windows\\Start Menu"},
    {"{A77F5D77-2E2B-44C3-A6A2-ABA601054A51}", "%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs"},
    {"{B97D20BB-F46A-4C97-BA10-5E3608430854}", "%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
    {"{724EF170-A42D-4FEF-9F26-B60E846FBA4F}",
     "%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"},
    {"{52A4F021-7B75-48A9-9F6B-4B87A210BC8F}", "%APPDATA%\\Microsoft\\Internet Explorer\\Quick Launch"},
    {"{9E3995AB-1F9C-4F13-B827-48B24B6C7174}", "%APPDATA%\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned"},
}};

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string_view> KnownFolderPath(std::string_view braced) {
  if (braced.size() != kBracedLength) return std::nullopt;
  for (const auto& [id, path] : kFolders) {
    if (SameIgnoringCase(id, braced)) return path;
  }
  return std::nullopt;
}

std::string ExpandKnownFolderPrefix(std::string_view path) {
  if (path.size() < kBracedLength || (path.size() > kBracedLength && path[kBracedLength] != '\\')) {
    return std::string(path);
  }
  const std::optional<std::string_view> folder = KnownFolderPath(path.substr(0, kBracedLength));
  if (!folder) return std::string(path);
  std::string expanded(*folder);
  expanded.append(path.substr(kBracedLength));
  return expanded;
}

}  // namespace tmr
