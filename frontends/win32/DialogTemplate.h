#pragma once
// Dialogs built in memory, so they need no resource script.
#include <windows.h>

#include <string>
#include <vector>

#include "common/Utf16_win.h"

namespace odb::win {

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082, kListBox = 0x0083;

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

// The text of a dialog item, as UTF-8.
inline std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

}  // namespace odb::win
