#include "frontends/win32/SingleInstance.h"

#include <cstdint>
#include <cwctype>

#include "common/Utf16_win.h"

namespace odb::win {
namespace {

// The running program's key, set once it knows it is the first.
WPARAM ownKey = 0;

UINT ShowMessage() {
  static const UINT message = RegisterWindowMessageW(L"ODBackup.ShowSettingsWindow");
  return message;
}

// FNV-1a of the lower-cased path: short enough for an object name and a
// message parameter alike.
uint32_t PathKey(const std::string& configPath) {
  uint32_t hash = 2166136261u;
  for (const wchar_t c : Widen(configPath)) {
    hash = (hash ^ static_cast<uint32_t>(std::towlower(c))) * 16777619u;
  }
  return hash == 0 ? 1 : hash;
}

}  // namespace

TSingleInstance::TSingleInstance(const std::string& configPath) {
  key_ = PathKey(configPath);
  wchar_t name[64];
  swprintf(name, 64, L"Local\\ODBackup-%08x", static_cast<unsigned>(key_));
  mutex_ = CreateMutexW(nullptr, FALSE, name);
  first_ = !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
  if (first_) ownKey = key_;
}

TSingleInstance::~TSingleInstance() {
  if (mutex_) CloseHandle(mutex_);
}

void TSingleInstance::ShowRunning() const {
  // The running program may take the foreground: this start was the user's.
  AllowSetForegroundWindow(ASFW_ANY);
  PostMessageW(HWND_BROADCAST, ShowMessage(), key_, 0);
}

bool IsShowRequest(UINT msg, WPARAM wParam) { return ownKey != 0 && msg == ShowMessage() && wParam == ownKey; }

}  // namespace odb::win
