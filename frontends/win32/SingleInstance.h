#pragma once
// One program per configuration: a second start brings the running one's
// settings window to the front and ends, as Windows programs do. Two copies
// would make every planned backup twice and rename each other's files.
#include <windows.h>

#include <string>

namespace odb::win {

class TSingleInstance {
 public:
  // Keyed by the configuration file's path, without regard to case.
  explicit TSingleInstance(const std::string& configPath);
  ~TSingleInstance();
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  bool First() const { return first_; }
  // Asks the running program to show its settings window.
  void ShowRunning() const;

 private:
  HANDLE mutex_ = nullptr;
  WPARAM key_ = 0;
  bool first_ = true;
};

// Whether a window message is a later start's request to show this
// program's window.
bool IsShowRequest(UINT msg, WPARAM wParam);

}  // namespace odb::win
