// The main window: category tree on the left, the list of records on the
// right, status bar below. Sources fill the list through ListTarget.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "app/ListModel.h"
#include "app/ViewerServices.h"
#include "categories/Dispatch.h"
#include "platform/Controls.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"
#include "readers/ListTarget.h"

namespace tmr {

class SettingsFile;

class MainWindow final : public BaseWindow<MainWindow>, public ListTarget {
 public:
  // Control and menu identifiers.
  enum : int {
    kTreeId = 100,
    kListId,
    kStatusId,
    kCancelId,
    kLabelId,
    kMenuOptions = 40001,
    kMenuExit,
    kMenuCreateReport,
    kMenuViewReport,
    kMenuOnlineHelp,
    kMenuNewVersion,
    kMenuPromotion,
    kMenuAbout,
  };

  MainWindow(const SourceTable& sources, ViewerServices services);
  ~MainWindow() override;

  // Creates the window with its controls and catalogue and shows it.
  bool Create(int showCommand);
  // Reads the update-check settings and runs the automatic check when more
  // than CheckInterval days have passed since the last one.
  void RunStartupCheck(const SettingsFile& settings);

  // The user's actions, as the window's own handlers perform them.
  void ClickNode(HTREEITEM item);
  bool ClickNodeByKey(std::string_view key);
  void DoubleClickRow();
  void ClickColumn(int column);
  void Command(int id);

  TreeView Tree() const { return TreeView(tree_); }
  ListView List() const { return ListView(list_); }
  StatusBar Status() const { return StatusBar(status_); }
  HWND CancelButton() const { return cancel_; }
  HWND PromotionLabel() const { return label_; }
  const ListModel& Model() const { return model_; }
  HTREEITEM ItemForKey(std::string_view key) const;
  std::string KeyOf(HTREEITEM item) const;
  bool SourceRunning() const { return running_; }
  int Dpi() const { return dpi_; }

  // ListTarget
  void ClearList() override;
  void AddColumn(const std::string& header, int widthTwips) override;
  void AddRow(std::vector<std::string> cells) override;
  void AddRowTexts(std::span<const std::string_view> cells) override;
  void SetListVisible(bool visible) override;
  void SetPanel(int panel, const std::string& text) override;
  std::size_t RowCount() const override { return model_.RowCount(); }
  void SetListKind(const std::string& kind) override { listKind_ = kind; }
  std::string ListKind() const override { return listKind_; }
  void SetCancelVisible(bool visible) override;
  void ShowProgress(double maximum) override;
  void SetProgress(double value, const std::string& label) override;
  void CloseProgress() override;
  void SetProgressRecords(std::size_t count) override;
  void DoEvents() override;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnFinalDestroy() override;

 private:
  friend class BaseWindow<MainWindow>;
  static constexpr UINT kNodeClickMessage = WM_APP + 1;

  void OnCreate();
  void OnSize();
  LRESULT OnNotify(NMHDR* header);
  void FillTree();
  void RunSource(std::string key);
  void SyncItemCount();
  void FlushProgress();
  void ViewReport();
  int Px(int twips) const;

  const SourceTable& sources_;
  ViewerServices services_;
  ListModel model_;
  std::string listKind_;
  HWND tree_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  HWND cancel_ = nullptr;
  HWND label_ = nullptr;
  int dpi_ = 96;
  bool running_ = false;
  bool closePending_ = false;
  std::optional<std::string> pendingKey_;
  TimeSlicePump pump_;
  std::wstring dispBuffer_;
  double progressValue_ = 0;
  std::string progressLabel_;
  std::size_t progressRecords_ = 0;
  bool progressLabelIsCount_ = false;
  bool progressPending_ = false;
};

}  // namespace tmr
