#include "frontends/win32/Win32Errors.h"

#include "common/Errors.h"
#include "common/Format.h"
#include "common/Utf16_win.h"
#include "frontends/win32/Win32Texts.h"

namespace odb::win {

std::string LastErrorText(const char* call) {
  const DWORD code = GetLastError();
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason = length ? std::wstring(text, length)
                               : Widen(FormatMsg(msg::SystemErrorCode, static_cast<long long>(code)));
  LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L'.')) {
    reason.pop_back();
  }
  return FormatMsg(msg::CallFailed, call) + Narrow(reason);
}

void ReportLastError(const char* call) {
  OutputDebugStringW((L"ODBackup: " + Widen(LastErrorText(call)) + L"\n").c_str());
}

void ThrowLastError(const char* call) { throw Exception(LastErrorText(call)); }

}  // namespace odb::win
