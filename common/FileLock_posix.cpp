#include "common/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace odb {

void TFileLock::TryLock() {
  if (handle_ < 0) {
    // O_NOFOLLOW: a link planted at the name is not ours to create or open.
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      state_ = TState::Unavailable;
      return;
    }
    handle_ = fd;
  }
  if (::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) == 0) {
    state_ = TState::Held;
  } else {
    state_ = errno == EWOULDBLOCK ? TState::Busy : TState::Unavailable;
  }
}

TFileLock::~TFileLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

}  // namespace odb
