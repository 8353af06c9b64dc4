// The lock that keeps two runs out of one backup folder.
#include <gtest/gtest.h>

#include <chrono>

#include "TempDir.h"
#include "common/FileLock.h"

namespace odb {
namespace {

using TState = TFileLock::TState;

TEST(FileLock, OneHolderAtATimeAndFreeOnceItsHolderHasGone) {
  test::TempDir dir;
  const std::string path = dir / "ODBackup.lock";
  auto first = std::make_unique<TFileLock>(path);
  ASSERT_EQ(first->State(), TState::Held);
  TFileLock second(path);
  EXPECT_EQ(second.State(), TState::Busy);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(second.WaitFor(300), TState::Busy);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300)) << "a bounded wait";
  first.reset();
  EXPECT_EQ(second.WaitFor(300), TState::Held);
  EXPECT_EQ(TFileLock(dir / "missing/ODBackup.lock").State(), TState::Unavailable)
      << "a folder that is not there blocks nobody";
}

}  // namespace
}  // namespace odb
