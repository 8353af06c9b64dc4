// Model to view and view to model for the settings window's controls.
#include "app/ODBackupDB.h"
#include "common/Utf16_win.h"
#include "frontends/win32/MainWindow.h"
#include "frontends/win32/SettingsView.h"
#include "frontends/win32/TimesGrid.h"
#include "frontends/win32/Win32Application.h"
#include "frontends/win32/Win32Ui.h"

namespace odb {
namespace {

void SetTextIfDifferent(HWND hwnd, const std::string& text) {
  if (win::WindowText(hwnd) != text) win::SetWindowTextUtf8(hwnd, text);
}

std::wstring WithCrLf(std::string_view line) { return Widen(line) + L"\r\n"; }

// Where the first count lines of text end (the whole text when it has fewer).
size_t LinesEnd(const std::wstring& text, int count) {
  size_t at = 0;
  for (int n = 0; n < count; ++n) {
    at = text.find(L'\n', at);
    if (at == std::wstring::npos) return text.size();
    ++at;
  }
  return at;
}

void CALLBACK PostMemoFlush(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  KillTimer(hwnd, id);
  ::PostMessageW(hwnd, TMainWindow::WM_FLUSHMEMO, 0, 0);
}

}  // namespace

void TSettingsView::Changed(TControl& control) {
  const auto found = byModel_.find(&control);
  if (found != byModel_.end()) Mirror(children_[static_cast<size_t>(found->second)]);
}

void TSettingsView::Mirror(TChild& child) {
  if (!child.model) return;
  TControl& model = *child.model;
  HWND hwnd = child.hwnd;
  if (static_cast<bool>(IsWindowEnabled(hwnd)) != model.Enabled()) EnableWindow(hwnd, model.Enabled());
  switch (child.kind) {
    case TChildKind::Edit:
      SetTextIfDifferent(hwnd, static_cast<TEdit&>(model).Text());
      break;
    case TChildKind::Spin:
      SetTextIfDifferent(hwnd, static_cast<TSpinEdit&>(model).Text());
      break;
    case TChildKind::Check:
      SetTextIfDifferent(hwnd, model.Caption());
      SendMessageW(hwnd, BM_SETCHECK, static_cast<TCheckBox&>(model).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case TChildKind::Radio:
      SetTextIfDifferent(hwnd, model.Caption());
      SendMessageW(hwnd, BM_SETCHECK, static_cast<TRadioButton&>(model).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case TChildKind::Combo:
      SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(static_cast<TComboBox&>(model).ItemIndex()), 0);
      break;
    case TChildKind::Memo:
      MirrorMemo(static_cast<TMemo&>(model), hwnd);
      break;
    case TChildKind::Tab:
      ShowActivePage();
      break;
    case TChildKind::Label:
    case TChildKind::FlatButton:
    case TChildKind::PushButton:
      SetTextIfDifferent(hwnd, model.Caption());
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case TChildKind::Panel:
    case TChildKind::Lowered:
    case TChildKind::GroupBox:
    case TChildKind::Page:
      // The colour reaches the children, which take it.
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
    case TChildKind::Bevel:
    case TChildKind::UpDown:
    case TChildKind::Grid:
      break;
  }
}

void TSettingsView::MirrorMemo(TMemo& memo, HWND edit) {
  // The whole text replaces whatever lines were still on their way.
  pendingLines_.clear();
  memoCatchingUp_ = false;
  SetWindowTextW(edit, Widen(memo.Text()).c_str());
  // The caret at the end, so a posted EM_SCROLLCARET shows the newest lines.
  const LPARAM end = GetWindowTextLengthW(edit);
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
}

void TSettingsView::LineAdded(TMemo& memo, std::string_view line) {
  if (!WindowOf(memo)) return;
  if (pendingLines_.empty()) ::PostMessageW(window_, TMainWindow::WM_FLUSHMEMO, 0, 0);
  pendingLines_ += WithCrLf(line);
}

void TSettingsView::FlushMemoLines() {
  HWND edit = WindowOf(form_.MemoFiles);
  if (!edit || pendingLines_.empty()) return;
  // Every update of Wine's EDIT walks its whole text and line list and
  // repaints it, so updates per line grew with the memo's size. Lines that come
  // sooner than kMemoUpdateMs after the last update wait for a timer and go in
  // together: the number of updates follows the time, not the lines.
  const DWORD since = GetTickCount() - lastMemoUpdate_;
  if (!memoCatchingUp_ && since < kMemoUpdateMs) {
    SetTimer(window_, kMemoTimerId, kMemoUpdateMs - since, PostMemoFlush);
    return;
  }
  if (!memoCatchingUp_) lastMemoUpdate_ = GetTickCount();
  // Wine's EDIT takes some 50 µs a line, and a backup read on its own thread
  // brings hundreds in 100 ms: they go in parts, and the window's messages
  // are handled between them.
  const size_t cut = LinesEnd(pendingLines_, kMemoPartLines);
  const std::wstring part = pendingLines_.substr(0, cut);
  pendingLines_.erase(0, cut);
  const LPARAM end = GetWindowTextLengthW(edit);
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
  memoCatchingUp_ = !pendingLines_.empty();
  if (memoCatchingUp_) ::PostMessageW(window_, TMainWindow::WM_FLUSHMEMO, 0, 0);
}

void TSettingsView::ShowActivePage() {
  const int active = form_.PageControlParams.ActivePageIndex();
  HWND tab = children_[static_cast<size_t>(tab_)].hwnd;
  if (SendMessageW(tab, TCM_GETCURSEL, 0, 0) != active) SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(active), 0);
  for (size_t i = 0; i < pages_.size(); ++i) {
    ShowWindow(children_[static_cast<size_t>(pages_[i])].hwnd, static_cast<int>(i) == active ? SW_SHOW : SW_HIDE);
  }
}

void TSettingsView::Command(int id, int code, HWND from) {
  int index = from ? IndexOf(from) : -1;
  if (index < 0 && (id == IDOK || id == IDCANCEL)) {
    index = byModel_.at(id == IDOK ? static_cast<TControl*>(&form_.BtnOK) : &form_.BtnCancel);
  }
  if (index < 0) return;
  TChild& child = children_[static_cast<size_t>(index)];
  app_.Dispatch([&] {
    switch (child.kind) {
      case TChildKind::FlatButton:
      case TChildKind::PushButton:
        if (code == BN_CLICKED && child.model->Enabled()) static_cast<TButton*>(child.model)->Click();
        break;
      case TChildKind::Check:
        if (code == BN_CLICKED) static_cast<TCheckBox*>(child.model)->Click();
        break;
      case TChildKind::Radio:
        if (code == BN_CLICKED) static_cast<TRadioButton*>(child.model)->Click();
        break;
      case TChildKind::Edit:
        if (code == EN_CHANGE) static_cast<TEdit*>(child.model)->SetText(win::WindowText(child.hwnd));
        break;
      case TChildKind::Spin:
        if (code == EN_CHANGE) static_cast<TSpinEdit*>(child.model)->SetText(win::WindowText(child.hwnd));
        break;
      case TChildKind::Combo:
        if (code == CBN_SELCHANGE) {
          static_cast<TComboBox*>(child.model)->UserPick(static_cast<int>(SendMessageW(child.hwnd, CB_GETCURSEL, 0, 0)));
        }
        break;
      case TChildKind::Panel:
      case TChildKind::Lowered:
      case TChildKind::GroupBox:
      case TChildKind::Page:
      case TChildKind::Label:
      case TChildKind::Bevel:
      case TChildKind::UpDown:
      case TChildKind::Memo:
      case TChildKind::Tab:
      case TChildKind::Grid:
        break;
    }
  });
}

void TSettingsView::SpinDelta(HWND updown, int delta) {
  const int index = IndexOf(reinterpret_cast<HWND>(SendMessageW(updown, UDM_GETBUDDY, 0, 0)));
  if (index < 0 || children_[static_cast<size_t>(index)].kind != TChildKind::Spin) return;
  auto& spin = static_cast<TSpinEdit&>(*children_[static_cast<size_t>(index)].model);
  app_.Dispatch([&] { spin.SetValue(spin.Value() + delta); });
}

LRESULT TSettingsView::Notify(NMHDR& header) {
  if (tooltip_ && header.hwndFrom == tooltip_ && header.code == static_cast<UINT>(TTN_GETDISPINFOW)) {
    return StripTipText(reinterpret_cast<NMTTDISPINFOW&>(header));
  }
  if (grid_ && header.hwndFrom == grid_->Handle()) return grid_->Notify(header);
  const int index = IndexOf(header.hwndFrom);
  if (index < 0) return 0;
  const TChild& child = children_[static_cast<size_t>(index)];
  if (child.kind == TChildKind::Tab && header.code == static_cast<UINT>(TCN_SELCHANGE)) {
    const int page = static_cast<int>(SendMessageW(child.hwnd, TCM_GETCURSEL, 0, 0));
    app_.Dispatch([&] { form_.PageControlParams.SetActivePageIndex(page); });
    return 0;
  }
  if (child.kind == TChildKind::UpDown && header.code == static_cast<UINT>(UDN_DELTAPOS)) {
    // The number has no limits, so the buttons only report the step.
    SpinDelta(header.hwndFrom, reinterpret_cast<NMUPDOWN&>(header).iDelta);
    return 1;
  }
  return 0;
}

}  // namespace odb
