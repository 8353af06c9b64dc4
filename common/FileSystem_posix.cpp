#include "common/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
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

// The file a path names, through symbolic links, so that a linked
// configuration is replaced where it lives and stays linked.
std::string LinkTarget(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

bool SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

bool WriteTemporary(int fd, const std::string& bytes, const struct stat* old) {
  // The new file keeps the old one's permissions (and owner, where allowed).
  if (old) {
    if (::fchmod(fd, old->st_mode & 07777) != 0) return false;
    (void)!::fchown(fd, old->st_uid, old->st_gid);
  } else if (::fchmod(fd, 0644) != 0) {
    return false;
  }
  return WriteAll(fd, bytes) && ::fsync(fd) == 0;
}

}  // namespace

char PathDelimiter() { return '/'; }

bool FileNamesIgnoreCase() { return false; }

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string target = LinkTarget(path);
  struct stat old{};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  // A file that could not be written in place is not replaced behind its back.
  if (exists && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;
  const auto slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temporary = folder + "/." + name + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteTemporary(fd, bytes, exists ? &old : nullptr);
  if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // The rename itself reaches the disk only with the folder.
  (void)SyncFolder(folder);
  return true;
}

bool FileExists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EntryExists(const std::string& path) {
  struct stat st{};
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsPlainFile(const std::string& path) {
  struct stat st{};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderReadable(const std::string& path) {
  DIR* dir = ::opendir(path.empty() ? "." : path.c_str());
  if (!dir) return false;
  ::closedir(dir);
  return true;
}

namespace {

bool SetMode(const std::string& path, mode_t mode) {
  // O_NOFOLLOW: the mode of what a planted link points to is not ours to change.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  const bool changed = ::fchmod(fd, mode) == 0;
  ::close(fd);
  return changed;
}

}  // namespace

bool MakePrivate(const std::string& path) { return SetMode(path, 0600); }

bool MakeGroupReadable(const std::string& path) { return SetMode(path, 0640); }

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

std::FILE* OpenForReading(const std::string& path) { return std::fopen(path.c_str(), "rbe"); }

std::FILE* CreateNewFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "wb");
  if (!file) ::close(fd);
  return file;
}

bool SyncFile(std::FILE* file) { return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0; }

}  // namespace odb::fs
