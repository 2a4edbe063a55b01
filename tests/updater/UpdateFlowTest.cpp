// The whole update flow with the real programs: a running viewer learns of
// version 5.3 from a site on loopback, starts the updater, which downloads
// and verifies a signed installer, ends the viewer and starts the
// installer, which installs Tracemere.
#include <windows.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>

#include "platform/Shell.h"
#include "platform/WinText.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

// Control identifiers of the updater's window.
constexpr int kUpdaterDownloadButton = 107;
constexpr int kUpdaterInstallButton = 108;
constexpr int kUpdaterSizeLabel = 101;

struct WindowSearch {
  const wchar_t* cls;
  DWORD pid;
  HWND found;
};

HWND FindTopLevel(const wchar_t* cls, DWORD pid) {
  WindowSearch search{cls, pid, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<WindowSearch*>(param);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (wcscmp(name, s->cls) == 0 && (s->pid == 0 || owner == s->pid) && IsWindowVisible(hwnd)) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string TextOf(HWND hwnd) {
  wchar_t text[1024] = {};
  GetWindowTextW(hwnd, text, 1024);
  return Narrow(text);
}

std::string MessageBoxText(HWND box) {
  std::string text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    if (_wcsicmp(cls, L"Static") == 0) text += TextOf(child);
  }
  return text;
}

bool Exited(HANDLE process, unsigned ms) { return WaitForSingleObject(process, ms) == WAIT_OBJECT_0; }

TEST(UpdateFlow, ViewerToUpdaterToInstalledProgram) {
  fs::path bin = test::TestProgramFolder();
  test::TempDir app;
  fs::copy_file(bin / L"tracemere_e2e.exe", app.path() / L"tracemere.exe");
  fs::copy_file(bin / L"renovo_e2e.exe", app.path() / L"renovo.exe");
  fs::copy_file(bin / L"tmere3.dll", app.path() / L"tmere3.dll");
  // A last check long ago: the viewer checks at start.
  app.Write("tmere.ini", "[general]\r\nReportFolder=C:\\\r\nlastcheckupdate=2000-01-01\r\nCheckInterval=7\r\n");

  fs::path installed = fs::path(GetSpecialFolder(CSIDL_LOCAL_APPDATA)) / L"Programs" / L"Tracemere";
  std::error_code ec;
  fs::remove_all(installed, ec);

  test::LoopbackHttpServer site(TM_E2E_PORT);
  auto serve = [&](const std::string& path, const std::string& body) {
    test::ScriptedReply reply;
    reply.body = body;
    site.Set(path, reply);
  };
  serve("/version.txt", "5.3\r\n");
  serve("/tmeresetup.exe", test::ReadFileBytes(bin / L"e2e-site" / L"tmeresetup.exe"));
  serve("/tmeresetup.exe.sig", test::ReadFileBytes(bin / L"e2e-site" / L"tmeresetup.exe.sig"));

  HANDLE viewer = test::StartProcess((app.path() / L"tracemere.exe").wstring());
  ASSERT_NE(viewer, nullptr);
  DWORD viewerPid = GetProcessId(viewer);

  // The viewer asks; the user answers Yes.
  HWND question = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (question = FindTopLevel(L"#32770", viewerPid)) != nullptr; }, 30000));
  EXPECT_EQ(TextOf(question), "Tracemere");
  EXPECT_EQ(MessageBoxText(question),
            "A new version 5.3 is available for download now, would you like to download now?");
  PostMessageW(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);

  // The updater shows the version and size, downloads and verifies.
  HWND updater = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] { return (updater = FindTopLevel(L"TracemereUpdater", 0)) != nullptr; }, 30000));
  DWORD updaterPid = 0;
  GetWindowThreadProcessId(updater, &updaterPid);
  HANDLE updaterProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, updaterPid);
  ASSERT_TRUE(test::WaitUntil(
      [&] { return TextOf(GetDlgItem(updater, kUpdaterSizeLabel)).rfind("File Size:", 0) == 0; }, 30000));
  PostMessageW(GetDlgItem(updater, kUpdaterDownloadButton), BM_CLICK, 0, 0);
  ASSERT_TRUE(
      test::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(updater, kUpdaterInstallButton)) != FALSE; }, 60000))
      << "the download did not complete and verify";

  // Install ends the running viewer and starts the installer.
  PostMessageW(GetDlgItem(updater, kUpdaterInstallButton), BM_CLICK, 0, 0);
  EXPECT_TRUE(Exited(viewer, 30000)) << "the viewer was not ended";
  EXPECT_TRUE(Exited(updaterProcess, 30000)) << "the updater did not end";
  // The installer writes its uninstaller last.
  EXPECT_TRUE(test::WaitUntil([&] { return fs::exists(installed / L"uninstall.exe"); }, 60000));
  for (const wchar_t* file : {L"tracemere.exe", L"renovo.exe", L"tmere3.dll", L"tmere.ini"}) {
    EXPECT_TRUE(fs::exists(installed / file)) << Narrow(file);
  }
  EXPECT_TRUE(fs::exists(app.path() / L"tmeresetup.exe"));

  if (!Exited(viewer, 0)) TerminateProcess(viewer, 1);
  if (updaterProcess && !Exited(updaterProcess, 0)) TerminateProcess(updaterProcess, 1);
  CloseHandle(viewer);
  if (updaterProcess) CloseHandle(updaterProcess);
  test::WaitUntil([] { return false; }, 500);
  fs::remove_all(installed, ec);
}

}  // namespace
}  // namespace tmr
