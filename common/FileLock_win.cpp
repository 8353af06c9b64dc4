#include "common/FileLock.h"

#include <windows.h>

#include "common/Utf16_win.h"

namespace odb {

void TFileLock::TryLock() {
  // Opened without sharing: a second opener gets a sharing violation, and
  // the handle goes with the process.
  HANDLE h = CreateFileW(Widen(path_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    state_ = GetLastError() == ERROR_SHARING_VIOLATION ? TState::Busy : TState::Unavailable;
    return;
  }
  handle_ = reinterpret_cast<intptr_t>(h);
  state_ = TState::Held;
}

TFileLock::~TFileLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace odb
