// The report dialog: which groups the report covers and where it goes;
// writes the page, opens it in the browser and closes itself.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "categories/CategoryTable.h"
#include "platform/Window.h"
#include "readers/RowSink.h"

namespace tmr {

// Reads one category's rows for the report.
using ReportReader = std::function<void(const CategoryInfo& category, RowSink& rows, ReadProgress& progress)>;

class CreateReportDialog final : public ModelessWindow<CreateReportDialog> {
 public:
  enum : int {
    kReportFileEdit = 100,
    kStartButton,
    kSkipButton,
    kBrowseButton,
    kProgressBar,
    kStatusLabel,
    kReportFileLabel,
    kGroupsFrame,
    // Shown while the report is written (or waits to be): the same as the
    // close box. It holds the focus then, so Esc reaches the dialog.
    kStopButton,
    // One box per report group, in the table's order.
    kFirstGroupBox,
  };

  // read: every category's reader as the report reads it (from source);
  // tests pass their own. source names the computer and user in the page
  // and the file; null is this PC.
  CreateReportDialog(const CategoryTable& table, ReportReader read, std::shared_ptr<const TraceSource> source = nullptr)
      : table_(table), read_(std::move(read)), source_(std::move(source)) {}

  bool Show(HWND owner);
  const TraceSource& Source() const { return source_ ? *source_ : LiveTraceSource(); }
  const std::shared_ptr<const TraceSource>& SourceShared() const { return source_; }
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  HWND GroupBox(ReportGroup group) const;
  bool Writing() const { return writing_; }
  // Start was pressed while a list was being read: the report is written
  // once that read is done.
  bool WaitingToStart() const { return waitingToStart_; }

  // The buttons, as their clicks run them.
  void StartCreateReport();
  void Skip();
  void Browse();
  // Writes the report to path, opens it and closes the dialog; on a file
  // that cannot be written, says so and leaves no file.
  void WriteReportFile(const std::string& path);

  // Whether the readers should stop: the "skip" button was pressed during
  // its sections, or the dialog is closing.
  bool StopRequested() const { return skipRequested_ || closePending_; }
  void EndSkip() { skipRequested_ = false; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static constexpr UINT kReadTurnFreeMessage = WM_APP + 1;

  ReportGroupSet CheckedGroups() const;
  // Start and Stop trade places; the focus goes with them.
  void ShowBusy(bool busy);

  const CategoryTable& table_;
  ReportReader read_;
  std::shared_ptr<const TraceSource> source_;
  bool writing_ = false;
  bool skipRequested_ = false;
  bool closePending_ = false;
  bool waitingToStart_ = false;
};

// This computer's and the logged-on user's names ("" when unknown).
std::string GetComputerNameText();
std::string GetUserNameText();

}  // namespace tmr
