#pragma once
// What a backup run needs of the program around it: somewhere to show the
// server's output, a way to let the program breathe during a long run, and
// the timer that watches a detached backup. The window implements them; the
// run knows nothing of windows.
#include <string>

namespace odb {

// The log view the server's output lines go to.
class IBackupOutput {
 public:
  virtual ~IBackupOutput() = default;
  virtual void Clear() = 0;
  virtual void AddLine(std::string line) = 0;
  virtual void Repaint() = 0;
};

// Lets waiting messages be handled, then returns.
class IMessagePump {
 public:
  virtual ~IMessagePump() = default;
  virtual void ProcessMessages() = 0;
  // True where showing the output costs enough to keep the server waiting
  // (a real window): the output is then read on another thread.
  virtual bool ReadsOutputOnAThread() const = 0;
  // Returns when a message comes, or after ms at the latest.
  virtual void WaitForMessages(int ms) = 0;
};

// The timer that is started when a backup runs detached.
class IBackupTimer {
 public:
  virtual ~IBackupTimer() = default;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetInterval(unsigned interval) = 0;
};

}  // namespace odb
