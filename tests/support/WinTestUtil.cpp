#include "support/WinTestUtil.h"

#include <cstdio>
#include <fstream>
#include <vector>

#include "platform/MessagePump.h"

namespace tmr::test {

bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs) {
  ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() > end) return condition();
    PumpPendingMessages();
    Sleep(5);
  }
  return true;
}

HANDLE StartProcess(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  // Once, on a Wine prefix made minutes before, starting a freshly copied
  // program failed and never again in hundreds of starts; a start is tried
  // again before it counts as failed.
  for (int attempt = 0;; ++attempt) {
    if (CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) break;
    if (attempt == 2) return nullptr;
    Sleep(250);
  }
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path);
  return text.substr(0, text.find_last_of(L"\\/"));
}

void SetControlKeyDown(bool down) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

void PressKey(HWND control, WORD key, bool withControl) {
  SetControlKeyDown(withControl);
  SendMessageW(control, WM_KEYDOWN, key, 0);
  SetControlKeyDown(false);
}

std::string JsonQuoted(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

namespace {

std::string JsonList(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? ", " : "") + JsonQuoted(texts[i]);
  return out + "]";
}

}  // namespace

void WriteExportExpectation(const std::filesystem::path& file, const std::vector<std::string>& header,
                            const std::vector<std::vector<std::string>>& rows) {
  std::string json = "{\"header\": " + JsonList(header) + ",\n\"rows\": [";
  for (std::size_t r = 0; r < rows.size(); ++r) json += (r ? ",\n" : "\n") + JsonList(rows[r]);
  json += "]}\n";
  std::ofstream(file, std::ios::binary) << json;
}

}  // namespace tmr::test
