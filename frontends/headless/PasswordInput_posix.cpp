#include "frontends/headless/PasswordInput.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>

namespace odb {
namespace {

// Echo off for as long as it lives, back as it was however the read ends.
class TNoEcho {
 public:
  TNoEcho() {
    on_ = ::tcgetattr(STDIN_FILENO, &saved_) == 0;
    if (!on_) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    on_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  ~TNoEcho() {
    if (on_) (void)::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
  TNoEcho(const TNoEcho&) = delete;
  TNoEcho& operator=(const TNoEcho&) = delete;

 private:
  termios saved_{};
  bool on_ = false;
};

}  // namespace

std::optional<std::string> ReadPasswordLine() {
  const bool terminal = ::isatty(STDIN_FILENO) == 1;
  if (terminal) {
    std::fputs("Heslo: ", stderr);
    std::fflush(stderr);
  }
  std::optional<TNoEcho> noEcho;
  if (terminal) noEcho.emplace();
  std::string line;
  int c = 0;
  while ((c = std::getchar()) != EOF && c != '\n') line += static_cast<char>(c);
  if (c == EOF && line.empty()) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace odb
