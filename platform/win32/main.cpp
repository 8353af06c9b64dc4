// odbackup.exe: the tray program with its settings window.
#include "platform/win32/Win32Application.h"

#include <objbase.h>

#include "app/ODBackup.h"
#include "common/FileSystem.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The shell's folder and computer browsers want a single-threaded apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int code = 1;
  {
    odb::TWin32Application app(instance);
    code = odb::RunProgram(app, {odb::fs::ExecutablePath(), {}});
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
