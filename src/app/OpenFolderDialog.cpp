#include "app/OpenFolderDialog.h"

#include "app/SettingsFile.h"
#include "core/TextUtil.h"
#include "platform/DialogLayout.h"
#include "platform/Dialogs.h"
#include "platform/WinText.h"

namespace tmr {
namespace {

constexpr char kNoTraces[] =
    "This folder is neither a Windows volume's root (with Users or Windows\\System32\\config) nor a user's "
    "profile folder (with NTUSER.DAT).";

std::function<void(OpenFolderDialog&)>& ShownHook() {
  static std::function<void(OpenFolderDialog&)> hook;
  return hook;
}

bool SameName(std::string_view a, std::string_view b) { return ToLowerAscii(a) == ToLowerAscii(b); }

std::string LayoutText(const TraceFolderLayout& layout) {
  switch (layout.kind) {
    case TraceFolderLayout::Kind::kVolume:
      if (layout.users.empty()) return "A Windows volume without user profiles: only the machine's traces.";
      return layout.users.size() == 1 ? "A Windows volume with one user."
                                      : "A Windows volume with " + std::to_string(layout.users.size()) + " users.";
    case TraceFolderLayout::Kind::kProfile: return "A user's profile folder.";
    case TraceFolderLayout::Kind::kNotTraces: break;
  }
  return layout.folder.empty() ? std::string() : kNoTraces;
}

}  // namespace

std::string PreferredUser(const TraceFolderLayout& layout, const SettingsFile* settings) {
  const std::string stored = StoredFolderUser(settings, layout.folder);
  for (const std::string& user : layout.users) {
    if (!stored.empty() && SameName(user, stored)) return user;
  }
  for (const std::string& user : layout.users) {
    if (!SameName(user, "Default")) return user;
  }
  return layout.users.empty() ? std::string() : layout.users.front();
}

std::shared_ptr<const TraceSource> OpenTraceFolder(const TraceFolderLayout& layout, std::string_view user,
                                                   std::string* failure) {
  if (layout.kind == TraceFolderLayout::Kind::kNotTraces) {
    if (failure) *failure = layout.folder + ": " + kNoTraces;
    return nullptr;
  }
  return std::make_shared<FolderTraceSource>(layout, user);
}

std::shared_ptr<const TraceSource> OpenTraceFolder(std::string_view folder, const SettingsFile* settings,
                                                   std::string* failure) {
  const TraceFolderLayout layout = DescribeTraceFolder(folder);
  return OpenTraceFolder(layout, PreferredUser(layout, settings), failure);
}

void OpenFolderDialog::SetShownHook(std::function<void(OpenFolderDialog&)> hook) { ShownHook() = std::move(hook); }

bool OpenFolderDialog::Create(HWND owner) {
  DialogLayout layout;
  HWND hwnd = layout.CreateFrame(L"TracemereOpenFolder", WindowProc, this, "Open Traces Folder", 6240, 2520, owner,
                                 owner != nullptr);
  if (!hwnd) return false;
  layout.Add(hwnd, L"STATIC", "Folder: a Windows volume's root or a user's profile folder", SS_LEFT | SS_NOPREFIX,
             kFolderLabel, 120, 120, 6000, 255);
  layout.Add(hwnd, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kFolderEdit, 120, 420, 4800, 330, WS_EX_CLIENTEDGE);
  layout.Add(hwnd, L"BUTTON", "Browse...", WS_TABSTOP | BS_PUSHBUTTON, kBrowseButton, 5040, 405, 1080, 360);
  layout.Add(hwnd, L"STATIC", "User", SS_LEFT, kUserLabel, 120, 945, 900, 255);
  layout.Add(hwnd, L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kUserBox, 1080, 900, 3840, 1500);
  layout.Add(hwnd, L"STATIC", "", SS_LEFT | SS_NOPREFIX, kStatusLabel, 120, 1380, 6000, 510);
  layout.Add(hwnd, L"BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 3585, 2010, 1215, 375);
  layout.Add(hwnd, L"BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 4905, 2010, 1215, 375);
  closed_ = false;
  chosen_.reset();
  DescribeFolder();
  return true;
}

std::shared_ptr<const TraceSource> OpenFolderDialog::ShowModal(HWND owner) {
  if (owner && !IsWindow(owner)) owner = nullptr;
  if (!Create(owner)) return nullptr;
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetFocus(Control(kFolderEdit));
  if (ShownHook()) ShownHook()(*this);

  MSG msg;
  while (!closed_ && hwnd_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: let the outer loop see the quit message.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // The owner is enabled before the dialog goes, so that it, not another
  // program, becomes the active window.
  if (disableOwner) EnableWindow(owner, TRUE);
  if (hwnd_) DestroyWindow(hwnd_);
  if (owner) SetActiveWindow(owner);
  return closed_ ? chosen_ : nullptr;
}

void OpenFolderDialog::DescribeFolder() {
  describedText_ = WindowText(Control(kFolderEdit));
  layout_ = DescribeTraceFolder(Trim(describedText_));
  HWND box = Control(kUserBox);
  SendMessageW(box, CB_RESETCONTENT, 0, 0);
  const std::string preferred = PreferredUser(layout_, settings_);
  for (const std::string& user : layout_.users) {
    const std::wstring wide = Widen(user);
    const LRESULT index = SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    if (user == preferred) SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  // Only a volume has users to choose from; a profile folder is its own.
  EnableWindow(box, layout_.users.size() > 1);
  SetWindowTextUtf8(Control(kStatusLabel), LayoutText(layout_));
}

std::string OpenFolderDialog::SelectedUser() const {
  HWND box = Control(kUserBox);
  const LRESULT index = SendMessageW(box, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return {};
  const LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  return copied > 0 ? Narrow(std::wstring_view(text.data(), static_cast<size_t>(copied))) : std::string();
}

void OpenFolderDialog::Browse() {
  const std::string folder = BrowseForFolder();
  if (folder.empty()) return;
  SetWindowTextUtf8(Control(kFolderEdit), folder);
  DescribeFolder();
}

void OpenFolderDialog::Ok() {
  // Typed, then Enter: the folder has not been read yet.
  if (WindowText(Control(kFolderEdit)) != describedText_) DescribeFolder();
  if (layout_.kind == TraceFolderLayout::Kind::kNotTraces) {
    SetWindowTextUtf8(Control(kStatusLabel), kNoTraces);
    SetFocus(Control(kFolderEdit));
    return;
  }
  const std::string user = SelectedUser();
  chosen_ = OpenTraceFolder(layout_, user, nullptr);
  if (layout_.kind == TraceFolderLayout::Kind::kVolume && !user.empty()) {
    StoreFolderUser(settings_, layout_.folder, user);
  }
  closed_ = true;
}

void OpenFolderDialog::Cancel() {
  chosen_.reset();
  closed_ = true;
}

LRESULT OpenFolderDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK: Ok(); return 0;
        case IDCANCEL: Cancel(); return 0;
        case kBrowseButton: Browse(); return 0;
        case kFolderEdit:
          // Read once the typing is done, not for each key: a folder on
          // a share can take a moment to answer.
          // Only a changed text: reading it again would undo the user
          // picked since.
          if (HIWORD(wp) == EN_KILLFOCUS && WindowText(Control(kFolderEdit)) != describedText_) DescribeFolder();
          return 0;
        default: return 0;
      }
    case WM_CLOSE: Cancel(); return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return DialogBackground(reinterpret_cast<HDC>(wp));
    default: return Default(msg, wp, lp);
  }
}

}  // namespace tmr
