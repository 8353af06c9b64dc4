#include "backup/OutputReader.h"

#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "service/ControlService.h"

namespace odb {
namespace {

// What the reading thread hands over. The caller's thread takes the lines
// and sees the end under the same lock, so no line can come after the end.
struct TLineQueue {
  std::mutex lock;
  std::vector<std::string> lines;
  bool ended = false;
  std::exception_ptr error;
};

void ReadInto(TControlAndQueryService& service, TLineQueue& queue) noexcept {
  std::exception_ptr error;
  try {
    while (!service.OutputEnded()) {
      std::string line = service.ReadOutputLine();
      const std::lock_guard held(queue.lock);
      queue.lines.push_back(std::move(line));
    }
  } catch (...) {
    error = std::current_exception();
  }
  const std::lock_guard held(queue.lock);
  queue.error = error;
  queue.ended = true;
}

// Joins the reader also when the view fails: the service is the reader's
// until then.
struct TJoin {
  std::thread& thread;
  ~TJoin() {
    if (thread.joinable()) thread.join();
  }
};

}  // namespace

void ReadLinesOnAThread(TControlAndQueryService& service, IMessagePump& pump, IBackupOutput& output) {
  TLineQueue queue;
  std::thread reader(ReadInto, std::ref(service), std::ref(queue));
  const TJoin join{reader};
  std::vector<std::string> taken;
  long counter = 0;
  for (;;) {
    bool ended = false;
    {
      const std::lock_guard held(queue.lock);
      taken.swap(queue.lines);
      ended = queue.ended;
    }
    for (std::string& line : taken) {
      output.AddLine(std::move(line));
      if (++counter % 10 == 0) {
        output.Repaint();
        pump.ProcessMessages();
      }
    }
    taken.clear();
    if (ended) break;
    // The server may be quiet for seconds (a large table): the window still answers.
    pump.ProcessMessages();
    pump.WaitForMessages(kOutputWaitMs);
  }
  reader.join();
  if (queue.error) std::rethrow_exception(queue.error);
}

}  // namespace odb
