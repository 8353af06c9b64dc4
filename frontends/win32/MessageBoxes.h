#pragma once
// The system message box with the program's own Czech button captions, so a
// box reads the same on any Windows language; icons, the default button and
// Esc stay the system's.
#include <windows.h>

#include <string>

namespace odb::win {

// MessageBoxW's arguments and result.
int CzechMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT type);

}  // namespace odb::win
