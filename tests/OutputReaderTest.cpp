// The backup's output read on a thread of its own: every line reaches the
// view in order, the last ones and the end line too, and a failed query is
// raised once the lines before it are there.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "FormFixture.h"
#include "backup/ODBackupUtils.h"
#include "service/ServiceErrors.h"

namespace odb {
namespace {

struct Lines final : IBackupOutput {
  std::vector<std::string> lines;
  int repaints = 0;
  void Clear() override { lines.clear(); }
  void AddLine(std::string line) override { lines.push_back(std::move(line)); }
  void Repaint() override { ++repaints; }
};

// A window's pump: the lines it sees when it lets messages through.
struct WindowPump final : IMessagePump {
  const Lines& output;
  explicit WindowPump(const Lines& o) : output(o) {}
  std::vector<size_t> linesAtPump;
  void ProcessMessages() override { linesAtPump.push_back(output.lines.size()); }
  bool ReadsOutputOnAThread() const override { return true; }
  void WaitForMessages(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

TEST(OutputReader, EveryLineInOrderAndTheErrorAfterTheLinesBeforeIt) {
  struct Case {
    int lines;
    int failAtQuery;  // 0: none
    int slowQuery;    // the server takes 50 ms before this one; 0: none
  };
  for (const Case& c : {Case{0, 0, 0}, Case{25, 0, 3}, Case{5000, 0, 0}, Case{5000, 4000, 0}, Case{30, 1, 0}}) {
    SCOPED_TRACE(c.lines);
    test::HookedFbClient fb;
    for (int i = 1; i <= c.lines; ++i) fb.replies.push_back(test::FakeFbClient::Line("gbak: line " + std::to_string(i)));
    fb.replies.push_back(test::FakeFbClient::Line(""));
    int queries = 0;
    fb.BeforeQuery = [&] {
      ++queries;
      if (queries == c.failAtQuery) fb.fail_query = true;
      if (queries == c.slowQuery) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    };
    TBackupService service(fb);
    service.SetDatabaseName("db");
    service.SetVerbose(true);
    Lines output;
    WindowPump pump(output);
    const int expected = c.failAtQuery ? c.failAtQuery - 1 : c.lines + 1;
    if (c.failAtQuery) {
      EXPECT_THROW((void)RunBackupVerbose(service, pump, output), EServerError);
    } else {
      EXPECT_TRUE(RunBackupVerbose(service, pump, output));
    }
    ASSERT_EQ(output.lines.size(), static_cast<size_t>(expected));
    for (int i = 1; i <= expected && i <= c.lines; ++i) ASSERT_EQ(output.lines[i - 1], "gbak: line " + std::to_string(i));
    if (!c.failAtQuery) {
      EXPECT_EQ(output.lines.back(), "");
    }
    EXPECT_EQ(output.repaints, expected / 10);
    EXPECT_FALSE(service.Active()) << "detached also after a failure";
    // While the server was quiet the window went on taking messages.
    if (c.slowQuery) {
      EXPECT_GT(std::count(pump.linesAtPump.begin(), pump.linesAtPump.end(), c.slowQuery - 1), 1);
    }
  }
}

}  // namespace
}  // namespace odb
