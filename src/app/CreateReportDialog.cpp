#include "app/CreateReportDialog.h"

#include <commctrl.h>

#include <algorithm>

#include "app/ReadTurn.h"
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
#include "report/ReportRun.h"

namespace tmr {
namespace {

// The dialog's label, bar and skip button as the writing drives them.
class DialogProgress final : public ReportProgress {
 public:
  explicit DialogProgress(CreateReportDialog& dialog) : dialog_(dialog) {}
  void SetStatus(const std::string& text) override {
    SetWindowTextUtf8(dialog_.Control(CreateReportDialog::kStatusLabel), text);
    PumpPendingMessages();
  }
  double Maximum() const override { return static_cast<double>(SendMessageW(Bar(), PBM_GETRANGE, FALSE, 0)); }
  void SetMaximum(double maximum) override { SendMessageW(Bar(), PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum)); }
  void SetValue(double value) override { SendMessageW(Bar(), PBM_SETPOS, static_cast<WPARAM>(value), 0); }
  void ShowSkip(bool visible) override {
    ShowWindow(dialog_.Control(CreateReportDialog::kSkipButton), visible ? SW_SHOW : SW_HIDE);
    // A press of "skip" stops only the sections it was shown for.
    if (!visible) dialog_.EndSkip();
  }

 private:
  HWND Bar() const { return dialog_.Control(CreateReportDialog::kProgressBar); }
  CreateReportDialog& dialog_;
};

// The readers' side: the dialog stays live while a section is read, and
// "skip" or closing stops the reader. The main window's status bar and
// progress dialog have no part in a report.
class ReaderProgress final : public SilentReadProgress {
 public:
  explicit ReaderProgress(const CreateReportDialog& dialog) : dialog_(dialog) {}
  bool KeepGoing() override {
    pump_.Tick();
    return !dialog_.StopRequested();
  }

 private:
  const CreateReportDialog& dialog_;
  TimeSlicePump pump_;
};

constexpr char kStopQuestion[] = "Stop writing the report? The part written so far is discarded.";

std::string NowText() {
  SYSTEMTIME now{};
  if (TimesInUtc()) {
    GetSystemTime(&now);
  } else {
    GetLocalTime(&now);
  }
  return GeneralDateText(DateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

}  // namespace

std::string GetComputerNameText() { return LiveTraceSource().ComputerName(); }

std::string GetUserNameText() { return LiveTraceSource().UserName(); }

HWND CreateReportDialog::GroupBox(ReportGroup group) const {
  for (std::size_t i = 0; i < table_.reportGroups.size(); ++i) {
    if (table_.reportGroups[i].id == group) return Control(kFirstGroupBox + static_cast<int>(i));
  }
  return nullptr;
}

bool CreateReportDialog::Show(HWND owner) {
  // The boxes stand in rows 420 twips apart from 420 down; the rest of the
  // dialog moves down by every row past the second.
  int lowestBox = 840;
  for (const ReportGroupInfo& group : table_.reportGroups) lowestBox = std::max(lowestBox, group.boxTopTwips);
  const int down = lowestBox - 840;
  DialogLayout layout;
  HWND hwnd =
      layout.CreateFrame(L"TracemereCreateReport", WindowProc, this, "Create Report", 6600, 4080 + down, owner, false);
  if (!hwnd) return false;
  for (std::size_t i = 0; i < table_.reportGroups.size(); ++i) {
    const ReportGroupInfo& group = table_.reportGroups[i];
    HWND box = layout.Add(hwnd, L"BUTTON", std::string(group.boxText), WS_TABSTOP | BS_AUTOCHECKBOX,
                          kFirstGroupBox + static_cast<int>(i), group.boxLeftTwips, group.boxTopTwips, 1980, 300);
    SendMessageW(box, BM_SETCHECK, group.tickedByDefault ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  layout.Add(hwnd, L"STATIC", "Report File", SS_LEFT, kReportFileLabel, 120, 1560 + down, 3000, 300);
  HWND fileEdit = layout.Add(hwnd, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kReportFileEdit, 120, 1860 + down, 5040,
                             330, WS_EX_CLIENTEDGE);
  layout.Add(hwnd, L"BUTTON", "Browse", WS_TABSTOP | BS_PUSHBUTTON, kBrowseButton, 5280, 1845 + down, 1200, 360);
  HWND bar = layout.Add(hwnd, PROGRESS_CLASSW, "", 0, kProgressBar, 120, 2400 + down, 6360, 300);
  layout.Add(hwnd, L"STATIC", "", SS_LEFT | SS_NOPREFIX, kStatusLabel, 120, 2820 + down, 5040, 300);
  layout.Add(hwnd, L"BUTTON", "skip", WS_TABSTOP | BS_PUSHBUTTON, kSkipButton, 5280, 2790 + down, 1200, 360);
  layout.Add(hwnd, L"BUTTON", "Start Create Report", WS_TABSTOP | BS_DEFPUSHBUTTON, kStartButton, 120, 3420 + down,
             2400, 420);
  layout.Add(hwnd, L"BUTTON", "Stop", WS_TABSTOP | BS_PUSHBUTTON, kStopButton, 2640, 3420 + down, 1200, 420);
  HWND frame = layout.Add(hwnd, L"BUTTON", "Create Report for", BS_GROUPBOX, kGroupsFrame, 120, 90, 6360, 1260 + down);
  SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  // Load.
  ShowWindow(bar, SW_HIDE);
  ShowWindow(Control(kSkipButton), SW_HIDE);
  ShowWindow(Control(kStopButton), SW_HIDE);
  SendMessageW(bar, PBM_SETRANGE32, 0, 22);
  if (EndsWith(ReportFolder, "\\")) ReportFolder.pop_back();
  // A profile folder alone does not name its computer; its user stands in.
  std::string computer = Source().ComputerName();
  if (computer.empty() && !Source().Live()) computer = Source().UserName();
  SetWindowTextUtf8(fileEdit, ReportFolder + "\\Report_for_" + computer + ".htm");

  RegisterOpened();
  ShowWindow(hwnd, SW_SHOW);
  return true;
}

ReportGroupSet CreateReportDialog::CheckedGroups() const {
  ReportGroupSet chosen;
  for (const ReportGroupInfo& group : table_.reportGroups) {
    chosen.Set(group.id, SendMessageW(GroupBox(group.id), BM_GETCHECK, 0, 0) == BST_CHECKED);
  }
  return chosen;
}

void CreateReportDialog::ShowBusy(bool busy) {
  // Start is disabled only once Stop has the focus: a control that loses
  // its enabled state while focused leaves the dialog with no focus at all.
  ShowWindow(Control(kStopButton), busy ? SW_SHOW : SW_HIDE);
  if (busy) {
    SetFocus(Control(kStopButton));
    EnableWindow(Control(kStartButton), FALSE);
  } else {
    EnableWindow(Control(kStartButton), TRUE);
    if (GetFocus() == Control(kStopButton) || !GetFocus()) SetFocus(Control(kStartButton));
  }
}

void CreateReportDialog::StartCreateReport() {
  // The readers let messages run, so a second press can arrive while a
  // report is being written; it must not start another.
  if (writing_ || waitingToStart_) return;
  if (ReadTurn::Taken()) {
    // A list is being read: the report's readers would run inside it.
    waitingToStart_ = true;
    ShowBusy(true);
    SetWindowTextUtf8(Control(kStatusLabel), "Waiting for the list being read...");
    HWND self = hwnd_;
    ReadTurn::WhenFree([self] { PostMessageW(self, kReadTurnFreeMessage, 0, 0); });
    return;
  }
  WriteReportFile(WindowText(Control(kReportFileEdit)));
}

void CreateReportDialog::Skip() {
  skipRequested_ = true;
  ShowWindow(Control(kSkipButton), SW_HIDE);
}

void CreateReportDialog::Browse() {
  FileDialogRequest request = ReportFileRequest(hwnd_, ReportFolder);
  if (auto file = PickFileToSave(request)) SetWindowTextUtf8(Control(kReportFileEdit), CutAtNul(*file));
}

void CreateReportDialog::WriteReportFile(const std::string& path) {
  ReadTurn turn([this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); });
  if (!turn.Held()) return;
  writing_ = true;
  skipRequested_ = false;
  ShowBusy(true);
  ReportFile file;
  const std::string failure =
      "The report could not be written to " + path + ". Check that the folder exists and that you may write to it.";
  if (!file.Create(path)) {
    ShowMessage(hwnd_, failure, MB_OK);
    writing_ = false;
    ShowBusy(false);
    return;
  }
  ShowWindow(Control(kProgressBar), SW_SHOW);
  HtmlReportWriter writer([&file](std::string_view line) { file.WriteLine(line); }, ViewerCellFormat());
  DialogProgress progress(*this);
  ReaderProgress readerProgress(*this);
  SectionReader readSection;
  if (read_) {
    readSection = [&](const CategoryInfo& category, RowSink& rows) { read_(category, rows, readerProgress); };
  }
  WriteReport(writer, table_, CheckedGroups(), {Source().ComputerName(), Source().UserName(), NowText(), SiteAddress},
              readSection, progress);
  writing_ = false;
  if (closePending_) {
    // Closed while writing: the report is dropped.
    file.Abandon();
    DestroyWindow(hwnd_);
    return;
  }
  if (!file.Commit()) {
    ShowMessage(hwnd_, failure, MB_OK);
    ShowBusy(false);
    return;
  }
  ShellOpen(hwnd_, path, SW_HIDE);
  DestroyWindow(hwnd_);
}

LRESULT CreateReportDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kStartButton:
        case IDOK: StartCreateReport(); return 0;
        case kSkipButton: Skip(); return 0;
        case kBrowseButton: Browse(); return 0;
        case kStopButton:
        case IDCANCEL: PostMessageW(hwnd_, WM_CLOSE, 0, 0); return 0;
        default: return 0;
      }
    case kReadTurnFreeMessage:
      if (waitingToStart_) {
        waitingToStart_ = false;
        SetWindowTextUtf8(Control(kStatusLabel), "");
        StartCreateReport();
      }
      return 0;
    case WM_CLOSE:
      if (writing_) {
        // A report can take minutes: a reflexive Esc must not throw it away.
        if (!closePending_ && ShowMessage(hwnd_, kStopQuestion, MB_YESNO) == IDYES) closePending_ = true;
        return 0;
      }
      DestroyWindow(hwnd_);
      return 0;
    default: return Default(msg, wp, lp);
  }
}

}  // namespace tmr
