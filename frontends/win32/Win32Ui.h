#pragma once
// Small pieces shared by the window layer: colours, brushes, the dpi scale,
// the window font and text of windows in UTF-8.
#include <windows.h>
// The model's TApplication::PostMessage is not the API macro.
#undef PostMessage

#include <map>
#include <string>

#include "app/Controls.h"

namespace odb::win {

// A model colour (RGB or 0x80000000 | system colour index) as a COLORREF.
COLORREF ToColorRef(TColor color);
// One solid brush per colour for the life of the program.
HBRUSH BrushFor(TColor color);

// The layout is in pixels at 96 dpi; Scale turns them into the screen's.
int Dpi();
int Scale(int px);
int Unscale(int px);

// The window font ("MS Sans Serif" 8 pt where it has the Czech letters), normal or bold.
HFONT WindowFont(bool bold = false);

// A window class of the program's, registered once per process: a second
// window of the kind (or a second test) finds it there. appIcon gives it the
// program's icon; background, when given, paints its client area.
void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, bool appIcon,
                         HBRUSH background = nullptr);

std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, const std::string& text);

}  // namespace odb::win
