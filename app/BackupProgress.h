#pragma once
// How far a running backup has come, for the status strip and the tray tip.
#include <functional>
#include <string>
#include <string_view>

#include "backup/RunInterfaces.h"

namespace odb {

struct TBackupProgress {
  bool verbose = false;  // its output is read; detached, nothing is known until the end
  long lines = 0;
  std::string table;  // whose data the server writes (or restores), once one is named
  friend bool operator==(const TBackupProgress&, const TBackupProgress&) = default;
};

// The table a gbak output line names as the one whose data comes next; empty
// when it names none.
std::string_view TableOfLine(std::string_view line);

// The run's output on its way to the log view, counted. shown is called at
// each repaint, where the view shows what has come.
class TProgressOutput final : public IBackupOutput {
 public:
  TProgressOutput(IBackupOutput& view, TBackupProgress& progress, std::function<void()> shown)
      : view_(view), progress_(progress), shown_(std::move(shown)) {}
  // A new output (the test restore's after the backup's) counts anew.
  void Clear() override;
  void AddLine(std::string line) override;
  void Repaint() override;

 private:
  IBackupOutput& view_;
  TBackupProgress& progress_;
  std::function<void()> shown_;
};

}  // namespace odb
