// odbackup.exe: the tray program with its settings window.
#include "frontends/win32/Win32Application.h"

#include <objbase.h>

#include "app/AppTexts.h"
#include "app/ODBackup.h"
#include "app/Settings.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Utf16_win.h"
#include "frontends/win32/MessageBoxes.h"
#include "frontends/win32/SingleInstance.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The shell's folder and computer browsers want a single-threaded apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int code = 1;
  try {
    const std::string exe = odb::fs::ExecutablePath();
    const odb::win::TSingleInstance single(odb::IniFileNameFor(exe, {}));
    if (single.First()) {
      odb::TWin32Application app(instance);
      code = odb::RunProgram(app, {exe, {}});
    } else {
      single.ShowRunning();
      code = 0;
    }
  } catch (const std::exception& error) {
    // The program's window could not be made; only a box of its own can tell.
    odb::win::CzechMessageBox(nullptr, odb::Widen(odb::ErrorBoxText(error.what())),
                              odb::Widen(odb::msg::AppTitle), MB_OK | MB_ICONERROR);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
