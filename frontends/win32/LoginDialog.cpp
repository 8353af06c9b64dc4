#include "frontends/win32/LoginDialog.h"

#include "common/Utf16_win.h"
#include "frontends/win32/DialogTemplate.h"

namespace odb::win {
namespace {

struct TDialogState {
  std::wstring user;
  std::optional<TLoginEntry> result;
};

INT_PTR CALLBACK LoginProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* state = reinterpret_cast<TDialogState*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    SetDlgItemTextW(dialog, kLoginUserEdit, state->user.c_str());
    SendDlgItemMessageW(dialog, kLoginUserEdit, EM_LIMITTEXT, 255, 0);
    SendDlgItemMessageW(dialog, kLoginPasswordEdit, EM_LIMITTEXT, 255, 0);
    SetFocus(GetDlgItem(dialog, kLoginPasswordEdit));
    return FALSE;
  }
  if (msg != WM_COMMAND) return FALSE;
  auto* state = reinterpret_cast<TDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (LOWORD(wParam) == IDOK) {
    state->result = TLoginEntry{ItemText(dialog, kLoginUserEdit), ItemText(dialog, kLoginPasswordEdit)};
    EndDialog(dialog, IDOK);
    return TRUE;
  }
  if (LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

std::optional<TLoginEntry> AskLogin(HINSTANCE instance, HWND owner, const std::string& userName) {
  const std::wstring title = Widen("Přihlašovací údaje");
  const std::wstring user = Widen("Uživatel:"), password = Widen("Heslo:");
  TTemplate t(title.c_str(), 200, 78, 6);
  t.Item(kStatic, user.c_str(), SS_LEFT, 8, 10, 50, 10, 0xFFFF);
  t.Item(kEdit, L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 60, 8, 132, 13, kLoginUserEdit);
  t.Item(kStatic, password.c_str(), SS_LEFT, 8, 30, 50, 10, 0xFFFF);
  t.Item(kEdit, L"", ES_AUTOHSCROLL | ES_PASSWORD | WS_BORDER | WS_TABSTOP, 60, 28, 132, 13, kLoginPasswordEdit);
  t.Item(kButton, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 84, 54, 50, 16, IDOK);
  t.Item(kButton, L"Storno", BS_PUSHBUTTON | WS_TABSTOP, 142, 54, 50, 16, IDCANCEL);
  TDialogState state{Widen(userName), std::nullopt};
  DialogBoxIndirectParamW(instance, t.Get(), owner, LoginProc, reinterpret_cast<LPARAM>(&state));
  return state.result;
}

}  // namespace odb::win
