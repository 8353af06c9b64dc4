#include "frontends/win32/RestoreDialog.h"

#include <exception>

#include "common/Format.h"
#include "common/Utf16_win.h"
#include "frontends/win32/DialogTemplate.h"
#include "frontends/win32/Win32Texts.h"

namespace odb::win {
namespace {

struct TDialogState {
  TRestoreDialog& dialog;
  bool running = false;
};

// The restore's lines, appended to the progress box as they come.
class TProgressBox final : public IBackupOutput {
 public:
  explicit TProgressBox(HWND box) : box_(box) {}
  void Clear() override { SetWindowTextW(box_, L""); }
  void AddLine(std::string line) override { pending_ += Widen(line) + L"\r\n"; }
  void Repaint() override {
    if (pending_.empty()) return;
    SendMessageW(box_, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageW(box_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pending_.c_str()));
    pending_.clear();
  }

 private:
  HWND box_;
  std::wstring pending_;
};

void SetRunning(HWND dialog, TDialogState& state, bool running) {
  state.running = running;
  for (int id : {IDOK, IDCANCEL, kRestoreList, kRestoreTarget}) EnableWindow(GetDlgItem(dialog, id), !running);
}

void RunRestore(HWND dialog, TDialogState& state) {
  const LRESULT picked = SendDlgItemMessageW(dialog, kRestoreList, LB_GETCURSEL, 0, 0);
  const std::string target = ItemText(dialog, kRestoreTarget);
  SetDlgItemTextW(dialog, kRestoreResult, Widen(msg::RestoreInProgress).c_str());
  SetRunning(dialog, state, true);
  TProgressBox progress(GetDlgItem(dialog, kRestoreProgress));
  progress.Clear();
  std::string result;
  try {
    result = state.dialog.restore(picked == LB_ERR ? SIZE_MAX : static_cast<size_t>(picked), target, progress);
  } catch (const std::exception& error) {
    result = FormatMsg(msg::RestoreFailedText, error.what());
  }
  progress.Repaint();
  SetRunning(dialog, state, false);
  SetDlgItemTextW(dialog, kRestoreResult, Widen(result).c_str());
}

INT_PTR CALLBACK RestoreProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* state = reinterpret_cast<TDialogState*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    for (const std::string& line : state->dialog.choices) {
      SendDlgItemMessageW(dialog, kRestoreList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(line).c_str()));
    }
    SendDlgItemMessageW(dialog, kRestoreList, LB_SETCURSEL, 0, 0);
    SetDlgItemTextW(dialog, kRestoreTarget, Widen(state->dialog.target).c_str());
    if (state->dialog.choices.empty()) SetDlgItemTextW(dialog, kRestoreResult, Widen(msg::RestoreNothing).c_str());
    return TRUE;
  }
  auto* state = reinterpret_cast<TDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!state) return FALSE;
  if (msg == WM_CLOSE) {
    if (!state->running) EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  if (LOWORD(wParam) == IDOK) {
    if (!state->running) RunRestore(dialog, *state);
    return TRUE;
  }
  if (LOWORD(wParam) == IDCANCEL) {
    if (!state->running) EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowRestoreDialog(HINSTANCE instance, HWND owner, TRestoreDialog& dialog) {
  const std::wstring title = Widen(msg::RestoreTitle), backups = Widen(msg::RestoreBackupsLabel),
                     target = Widen(msg::RestoreTargetLabel), start = Widen(msg::RestoreButton),
                     close = Widen(msg::RestoreClose);
  TTemplate t(title.c_str(), 320, 262, 8);
  t.Item(kStatic, backups.c_str(), SS_LEFT, 8, 8, 300, 10, 0xFFFF);
  t.Item(kListBox, L"", LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 8, 20, 304, 64, kRestoreList);
  t.Item(kStatic, target.c_str(), SS_LEFT, 8, 90, 300, 10, 0xFFFF);
  t.Item(kEdit, L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 102, 304, 13, kRestoreTarget);
  t.Item(kEdit, L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER, 8, 122, 304, 60,
         kRestoreProgress);
  t.Item(kEdit, L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER, 8, 188, 304, 48,
         kRestoreResult);
  t.Item(kButton, start.c_str(), BS_DEFPUSHBUTTON | WS_TABSTOP, 196, 242, 56, 14, IDOK);
  t.Item(kButton, close.c_str(), BS_PUSHBUTTON | WS_TABSTOP, 256, 242, 56, 14, IDCANCEL);
  TDialogState state{dialog};
  DialogBoxIndirectParamW(instance, t.Get(), owner, RestoreProc, reinterpret_cast<LPARAM>(&state));
}

}  // namespace odb::win
