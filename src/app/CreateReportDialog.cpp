#include "app/CreateReportDialog.h"

#include <commctrl.h>

#include "core/ProgramState.h"
#include "core/TextUtil.h"
#include "platform/DialogLayout.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/LocalTimeText.h"
#include "platform/MessagePump.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "report/ReportFile.h"

namespace tmr {
namespace {

// The dialog's label, bar and skip button as the writing drives them.
class DialogProgress final : public ReportProgress {
 public:
  explicit DialogProgress(CreateReportDialog& dialog) : dialog_(dialog) {}
  void SetStatus(const std::string& text) override {
    SetWindowTextUtf8(dialog_.Control(CreateReportDialog::kLabel1), text);
    PumpPendingMessages();
  }
  double Maximum() const override {
    return static_cast<double>(SendMessageW(dialog_.Control(CreateReportDialog::kPBar1), PBM_GETRANGE, FALSE, 0));
  }
  void SetMaximum(double maximum) override {
    SendMessageW(dialog_.Control(CreateReportDialog::kPBar1), PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum));
  }
  void SetValue(double value) override {
    SendMessageW(dialog_.Control(CreateReportDialog::kPBar1), PBM_SETPOS, static_cast<WPARAM>(value), 0);
  }
  void ShowSkip(bool visible) override {
    ShowWindow(dialog_.Control(CreateReportDialog::kCommand2), visible ? SW_SHOW : SW_HIDE);
  }

 private:
  CreateReportDialog& dialog_;
};

std::string NowText() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return GeneralDateText(DateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

}  // namespace

std::string TrimNull(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string GetComputerNameText() {
  wchar_t buffer[256] = {};
  DWORD size = 255;
  if (!GetComputerNameW(buffer, &size)) return "";
  return TrimNull(Narrow(std::wstring(buffer, size)));
}

std::string GetUserNameText() {
  wchar_t buffer[256] = {};
  DWORD size = 255;
  if (!GetUserNameW(buffer, &size) || size < 1) return "";
  // The length counts the terminator, which is not part of the name.
  return TrimNull(Narrow(std::wstring(buffer, size - 1)));
}

bool CreateReportDialog::Show(HWND owner) {
  DialogLayout layout;
  HWND hwnd = layout.CreateFrame(L"TracemereCreateReport", WindowProc, this, "Create Report", 6600, 4080, owner, false);
  if (!hwnd) return false;
  auto check = [&](int id, const char* text, int left, int top, bool ticked) {
    HWND box = layout.Add(hwnd, L"BUTTON", text, WS_TABSTOP | BS_AUTOCHECKBOX, id, left, top, 1980, 300);
    SendMessageW(box, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
  };
  check(kCheck1, "Internet Explorer", 360, 420, true);
  check(kCheck2, "Windows", 2400, 420, true);
  check(kCheck5, "Index.dat file", 4440, 420, false);
  check(kCheck3, "Mozilla Firefox", 360, 840, true);
  check(kCheck4, "Google Chrome", 2400, 840, true);
  layout.Add(hwnd, L"STATIC", "Report File", SS_LEFT, kLabel2, 120, 1560, 3000, 300);
  HWND text1 =
      layout.Add(hwnd, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kText1, 120, 1860, 5040, 330, WS_EX_CLIENTEDGE);
  layout.Add(hwnd, L"BUTTON", "Browse", WS_TABSTOP | BS_PUSHBUTTON, kCommand3, 5280, 1845, 1200, 360);
  HWND bar = layout.Add(hwnd, PROGRESS_CLASSW, "", 0, kPBar1, 120, 2400, 6360, 300);
  layout.Add(hwnd, L"STATIC", "", SS_LEFT | SS_NOPREFIX, kLabel1, 120, 2820, 5040, 300);
  layout.Add(hwnd, L"BUTTON", "skip", WS_TABSTOP | BS_PUSHBUTTON, kCommand2, 5280, 2790, 1200, 360);
  layout.Add(hwnd, L"BUTTON", "Start Create Report", WS_TABSTOP | BS_DEFPUSHBUTTON, kCommand1, 120, 3420, 2400, 420);
  HWND frame = layout.Add(hwnd, L"BUTTON", "Create Report for", BS_GROUPBOX, kFrame1, 120, 90, 6360, 1260);
  SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  // Load.
  ShowWindow(bar, SW_HIDE);
  ShowWindow(Control(kCommand2), SW_HIDE);
  SendMessageW(bar, PBM_SETRANGE32, 0, 22);
  if (EndsWith(ReportFolder, "\\")) ReportFolder.pop_back();
  SetWindowTextUtf8(text1, ReportFolder + "\\Report_for_" + GetComputerNameText() + ".htm");

  RegisterModeless(hwnd);
  TopLevelWindowOpened();
  ShowWindow(hwnd, SW_SHOW);
  return true;
}

ReportGroups CreateReportDialog::CheckedGroups() const {
  auto ticked = [this](int id) { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; };
  return {ticked(kCheck1), ticked(kCheck2), ticked(kCheck3), ticked(kCheck4), ticked(kCheck5)};
}

void CreateReportDialog::StartCreateReport() {
  // The collectors let messages run, so a second press can arrive while a
  // report is being written; it must not start another.
  if (writing_) return;
  WriteHTML(WindowText(Control(kText1)));
}

void CreateReportDialog::Skip() {
  SkipIndex = true;
  ShowWindow(Control(kCommand2), SW_HIDE);
}

void CreateReportDialog::Browse() {
  FileDialogRequest request = ReportFileRequest(hwnd_, ReportFolder);
  if (auto file = PickFileToSave(request)) SetWindowTextUtf8(Control(kText1), TrimNull(*file));
}

void CreateReportDialog::WriteHTML(const std::string& path) {
  writing_ = true;
  SkipIndex = false;
  EnableWindow(Control(kCommand1), FALSE);
  ReportFile file;
  const std::string failure =
      "The report could not be written to " + path + ". Check that the folder exists and that you may write to it.";
  if (!file.Create(path)) {
    ShowMessage(hwnd_, failure, MB_OK);
    writing_ = false;
    EnableWindow(Control(kCommand1), TRUE);
    return;
  }
  ShowWindow(Control(kPBar1), SW_SHOW);
  HtmlReportWriter writer([&file](const std::string& line) { file.WriteLine(line); });
  DialogProgress progress(*this);
  ReportSources sources = sources_ ? sources_([] { PumpPendingMessages(); }, SkipIndex) : ReportSources{};
  WriteReport(writer, CheckedGroups(), {GetComputerNameText(), GetUserNameText(), NowText(), SiteAddress}, sources,
              progress);
  writing_ = false;
  if (closePending_) {
    // Closed while writing: the report is dropped.
    file.Abandon();
    DestroyWindow(hwnd_);
    return;
  }
  if (!file.Commit()) {
    ShowMessage(hwnd_, failure, MB_OK);
    EnableWindow(Control(kCommand1), TRUE);
    return;
  }
  ShellOpen(hwnd_, path, SW_HIDE);
  DestroyWindow(hwnd_);
}

LRESULT CreateReportDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kCommand1:
        case IDOK: StartCreateReport(); return 0;
        case kCommand2: Skip(); return 0;
        case kCommand3: Browse(); return 0;
        case IDCANCEL: PostMessageW(hwnd_, WM_CLOSE, 0, 0); return 0;
        default: return 0;
      }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return DialogBackground(reinterpret_cast<HDC>(wp));
    case WM_CLOSE:
      if (writing_) {
        closePending_ = true;
        SkipIndex = true;
        return 0;
      }
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY: UnregisterModeless(hwnd_); return 0;
    default: return Default(msg, wp, lp);
  }
}

void CreateReportDialog::OnFinalDestroy() { TopLevelWindowClosed(); }

}  // namespace tmr
