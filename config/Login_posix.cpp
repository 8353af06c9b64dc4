// Linux keeps the password as Password= in clear text, so the file must be
// the owner's alone: a password that others can read is refused, not used.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "config/ConfigTexts.h"
#include "config/IniFile.h"
#include "config/Login.h"
#include "common/Format.h"

namespace odb {
namespace {

constexpr const char* kMissing = "\n";  // no value read from the file holds a line break

// Creates a missing file empty and private, and takes group and other
// access away from an existing one.
void MakePrivate(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) throw EIniFileError(FormatMsg(msg::UnableToWrite, path));
  const bool done = ::fchmod(fd, 0600) == 0;
  ::close(fd);
  if (!done) throw EIniFileError(FormatMsg(msg::UnableToWrite, path));
}

}  // namespace

std::optional<std::string> ReadStoredPassword(const TIniFile& ini) {
  std::string password = ini.ReadString(kLoginSection, "Password", kMissing);
  if (password == kMissing || password.empty()) return std::nullopt;
  struct stat st {};
  if (::stat(ini.FileName().c_str(), &st) != 0 || (st.st_mode & (S_IRGRP | S_IROTH)) != 0) {
    throw ELoginError(FormatMsg(msg::PasswordFileNotPrivate, ini.FileName()));
  }
  return password;
}

void StorePassword(TIniFile& ini, const std::string& password) {
  MakePrivate(ini.FileName());
  ini.WriteString(kLoginSection, "Password", IniValueText(password));
}

}  // namespace odb
