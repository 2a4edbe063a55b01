// The report dialog: which groups the report covers and where it goes;
// writes the page, opens it in the browser and closes itself.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/Window.h"
#include "report/ReportRun.h"

namespace tmr {

// The collectors the report reads, given how to let messages run and the
// flag the "skip" button sets.
using ReportSourcesFactory = std::function<ReportSources(const std::function<void()>& doEvents, const bool& skipIndex)>;

class CreateReportDialog final : public BaseWindow<CreateReportDialog> {
 public:
  enum : int {
    kCheck1 = 100,
    kCheck2,
    kCheck3,
    kCheck4,
    kCheck5,
    kText1,
    kCommand1,
    kCommand2,
    kCommand3,
    kPBar1,
    kLabel1,
    kLabel2,
    kFrame1
  };

  explicit CreateReportDialog(ReportSourcesFactory sources) : sources_(std::move(sources)) {}

  bool Show(HWND owner);
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  bool Writing() const { return writing_; }

  // The buttons, as their clicks run them.
  void StartCreateReport();
  void Skip();
  void Browse();
  // Writes the report to path, opens it and closes the dialog; on a file
  // that cannot be written, says so and leaves no file.
  void WriteHTML(const std::string& path);

  bool SkipIndex = false;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnFinalDestroy() override;

 private:
  friend class BaseWindow<CreateReportDialog>;
  ReportGroups CheckedGroups() const;

  ReportSourcesFactory sources_;
  bool writing_ = false;
  bool closePending_ = false;
};

// The computer's and the logged-on user's names ("" when unknown), and the
// text before the first NUL.
std::string GetComputerNameText();
std::string GetUserNameText();
std::string TrimNull(const std::string& text);

}  // namespace tmr
