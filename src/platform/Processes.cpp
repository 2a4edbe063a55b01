#include "platform/Processes.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cwchar>
#include <exception>

#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x410
constexpr DWORD kAllAccess = 0x1F0FFF;  // the pre-Vista value, accepted everywhere
constexpr DWORD kMaxIds = 1 << 20;      // bound for the grow-and-retry loop
constexpr DWORD kMaxPath = 32768;
constexpr DWORD kExitWaitMs = 2000;  // bound for a process that is slow to go

bool Keep(const std::string& name, std::string_view filter) {
  return !name.empty() && (filter.empty() || Contains(name, filter));
}

void ListThroughPsapi(std::string_view filter, std::vector<std::string>& names, std::vector<uint32_t>& ids) {
  std::vector<DWORD> buffer(32);
  DWORD bytes = 0;
  while (true) {
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(DWORD));
    if (!EnumProcesses(buffer.data(), size, &bytes)) return;
    if (bytes < size || buffer.size() >= kMaxIds) break;
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(bytes / sizeof(DWORD));
  for (DWORD id : buffer) {
    std::string name = ProcessNameById(id);
    if (!Keep(name, filter)) continue;
    names.push_back(std::move(name));
    ids.push_back(id);
  }
}

void ListThroughSnapshot(std::string_view filter, std::vector<std::string>& names, std::vector<uint32_t>& ids) {
  // Only the process list is read; heap, module and thread lists of the
  // calling process would add nothing to it.
  UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    size_t length = wcsnlen(entry.szExeFile, MAX_PATH);
    std::string name = length < MAX_PATH ? Narrow(std::wstring_view(entry.szExeFile, length)) : std::string();
    if (!Keep(name, filter)) continue;
    names.push_back(std::move(name));
    ids.push_back(entry.th32ProcessID);
  }
}

}  // namespace

int EnumProcessList(bool usePsapi, std::string_view filter, std::vector<std::string>& names,
                    std::vector<uint32_t>& ids) {
  names.clear();
  ids.clear();
  try {
    if (usePsapi) {
      ListThroughPsapi(filter, names, ids);
    } else {
      ListThroughSnapshot(filter, names, ids);
    }
  } catch (const std::exception&) {
    names.clear();
    ids.clear();
    return -1;
  }
  return static_cast<int>(names.size());
}

std::string ProcessNameById(uint32_t id) {
  if (id == 0) return "System Idle Process";
  if (id == 2) return "System";
  UniqueHandle process(OpenProcess(kQueryAndRead, FALSE, id));
  if (!process) return {};
  // The executable's image name, whose last part is the base name of the
  // process's first module. Asking for the image costs one call; walking
  // the module list reads the other process's memory piece by piece, which
  // made this pass the slowest part of opening the Chrome categories.
  std::vector<wchar_t> path(kMaxPath);
  DWORD length = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &length) || length == 0) return {};
  std::wstring_view image(path.data(), length);
  size_t slash = image.find_last_of(L"\\/");
  return Narrow(slash == std::wstring_view::npos ? image : image.substr(slash + 1));
}

bool TerminateProcessById(uint32_t& id, HWND window) {
  if (window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    id = owner;
  }
  UniqueHandle process(OpenProcess(kAllAccess, FALSE, id));
  if (!process) process.reset(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
  if (!process) return false;
  if (!TerminateProcess(process.get(), 0)) return false;
  // Termination only starts the end; the files the process holds are let go
  // once it has exited, and every caller goes on to use those files.
  WaitForSingleObject(process.get(), kExitWaitMs);
  return true;
}

void KillProcessByName(std::string_view name) {
  if (name.empty()) return;
  for (bool usePsapi : {true, false}) {
    std::vector<std::string> names;
    std::vector<uint32_t> ids;
    int count = EnumProcessList(usePsapi, "", names, ids);
    for (int i = 0; i < count; ++i) {
      if (ContainsIgnoreCase(names[static_cast<size_t>(i)], name)) TerminateProcessById(ids[static_cast<size_t>(i)]);
    }
  }
}

}  // namespace tmr
