#pragma once
// An exclusive lock on a file that the operating system lets go of when the
// holder ends, however it ends: a crash or a kill leaves no stale lock.
#include <cstdint>
#include <string>

namespace odb {

class TFileLock {
 public:
  enum class TState { Held, Busy, Unavailable };

  // Tries once. Busy: another process holds it. Unavailable: the file cannot
  // be opened (a missing or read-only folder).
  explicit TFileLock(const std::string& path);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  TState State() const { return state_; }
  // Tries again until it is held or waitMs have passed, every 100 ms.
  TState WaitFor(int waitMs);

 private:
  void TryLock();
  std::string path_;
  TState state_ = TState::Unavailable;
  intptr_t handle_ = -1;
};

}  // namespace odb
