#pragma once
// Starting a service action, and reading its text output.
#include "service/CustomService.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

namespace odb {

class TControlService : public TCustomService {
 public:
  using TCustomService::TCustomService;

  // Starts the action on the attached service manager; returns once the server
  // has accepted it. A failure leaves the component detached.
  void ServiceStart();

 protected:
  // The one step each service kind supplies.
  virtual std::string BuildStartBlock() = 0;
  std::uint8_t Action() const { return action_; }
  void SetAction(std::uint8_t action) { action_ = action; }

 private:
  std::uint8_t action_ = 0;
};

class TControlAndQueryService : public TControlService {
 public:
  using TControlService::TControlService;

  // The next line of output, waiting for the server as long as it takes. The
  // end of the output is one empty line; after it, empty text without a call.
  std::string ReadOutputLine();
  // As much of the output as one reply holds, several lines with their line
  // breaks and maybe part of one: one round trip for many lines. Empty text
  // once the output has ended.
  std::string ReadOutputText();
  bool OutputEnded() const { return output_ended_; }
  int BufferSize() const { return kBufferSize; }
  // Whether the started action still runs on the server, asked without reading
  // its output, so the call never waits for a line (ServiceRunning.cpp). An
  // action that ended with an error raises that error here and leaves the
  // component detached.
  bool QueryRunning();

 protected:
  void BeginAction(std::uint8_t action) {
    SetAction(action);
    output_ended_ = false;
    pending_error_ = nullptr;
  }

 private:
  std::string ReadOutput(char item);
  static constexpr int kBufferSize = 32000;
  bool output_ended_ = false;
  std::unique_ptr<char[]> reply_;
  // The server's error that came with the output's last text, raised at the next read.
  std::exception_ptr pending_error_;
};

}  // namespace odb
