#pragma once
// Failed Win32 calls: the system's own reason, reported to a debugger where
// the program can go on, raised where it cannot.
#include <windows.h>

#include <string>

namespace odb::win {

// "<call> selhalo: <the system's text for GetLastError()>".
std::string LastErrorText(const char* call);
// For failures the program lives with: the debugger output only.
void ReportLastError(const char* call);
// For failures the program cannot work without: an odb::Exception.
[[noreturn]] void ThrowLastError(const char* call);

}  // namespace odb::win
