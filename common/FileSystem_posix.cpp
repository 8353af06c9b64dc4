#include "common/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <linux/fs.h>
#include <sys/syscall.h>

namespace odb::fs {
namespace {

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool WriteWithFlags(const std::string& path, const std::string& bytes, int flags) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | flags, 0644);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes);
  return ::close(fd) == 0 && written;
}

}  // namespace

char PathDelimiter() { return '/'; }

bool FileExists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without renameat2 flags: link() fails on an existing
  // destination as well, so nothing is ever replaced.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  return ::unlink(from.c_str()) == 0;
}

bool CreateDirectories(const std::string& path) {
  if (path.empty() || DirectoryExists(path)) return !path.empty();
  const auto slash = path.find_last_of('/', path.size() - 2);
  if (slash != std::string::npos && slash > 0) CreateDirectories(path.substr(0, slash));
  return ::mkdir(path.c_str(), 0755) == 0 || DirectoryExists(path);
}

std::optional<std::string> ReadFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  // The log view reads the whole log on every entry; growing the string
  // chunk by chunk would copy a large log many times over.
  struct stat st{};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return bytes;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  return WriteWithFlags(path, bytes, O_CREAT | O_TRUNC);
}

bool AppendFile(const std::string& path, const std::string& bytes) {
  return WriteWithFlags(path, bytes, O_CREAT | O_APPEND);
}

bool AppendExistingFile(const std::string& path, const std::string& bytes) {
  return WriteWithFlags(path, bytes, O_APPEND);
}

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  return names;
}

std::string ExecutablePath() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string("odbackup");
}

}  // namespace odb::fs
