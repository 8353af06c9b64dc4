#include "common/FileLock.h"

#include <chrono>
#include <thread>

namespace odb {

TFileLock::TFileLock(const std::string& path) : path_(path) { TryLock(); }

TFileLock::TState TFileLock::WaitFor(int waitMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (state_ == TState::Busy && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    TryLock();
  }
  return state_;
}

}  // namespace odb
