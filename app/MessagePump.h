#pragma once
// The application object as the message pump of a backup run.
#include "backup/RunInterfaces.h"
#include "platform/Application.h"

namespace odb {

class TAppMessagePump final : public IMessagePump {
 public:
  explicit TAppMessagePump(TApplication& app) : app_(app) {}
  void ProcessMessages() override { app_.ProcessMessages(); }
  bool ReadsOutputOnAThread() const override { return app_.ReadsOutputOnAThread(); }
  void WaitForMessages(int ms) override { app_.WaitForMessages(ms); }

 private:
  TApplication& app_;
};

}  // namespace odb
