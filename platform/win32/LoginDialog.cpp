#include "platform/win32/LoginDialog.h"

#include <cstdint>
#include <vector>

#include "common/Utf16_win.h"

namespace odb::win {
namespace {

// A dialog template built in memory, so the dialog needs no resource script.
class TTemplate {
 public:
  TTemplate(const wchar_t* title, short cx, short cy, int items) {
    Align();
    Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
    Dword(0);
    Word(static_cast<WORD>(items));
    Word(0), Word(0), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
    Word(0), Word(0);  // no menu, the standard class
    Text(title);
    Word(8);
    Text(L"MS Shell Dlg");
  }
  void Item(WORD atom, const wchar_t* text, DWORD style, short x, short y, short cx, short cy, WORD id) {
    Align();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)),
        Word(static_cast<WORD>(cy));
    Word(id);
    Word(0xFFFF), Word(atom);
    Text(text);
    Word(0);
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) { Word(LOWORD(d)), Word(HIWORD(d)); }
  void Text(const wchar_t* s) {
    for (; *s; ++s) Word(static_cast<WORD>(*s));
    Word(0);
  }
  void Align() {
    if (words_.size() % 2) Word(0);
  }
  std::vector<WORD> words_;
};

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

struct TDialogState {
  std::wstring user;
  std::optional<TLoginEntry> result;
};

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

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
