#include "app/Controls.h"

#include <gtest/gtest.h>

namespace odb {
namespace {

class CountingView final : public TControlView {
 public:
  int changes = 0;
  void Changed(TControl&) override { ++changes; }
};

// The memo keeps its line storage between loads: a shorter or longer text
// must still leave exactly its own lines.
TEST(MemoText, EachLoadReplacesAllLines) {
  TMemo memo("MemoFiles");
  CountingView view;
  memo.SetView(&view);
  const struct {
    std::string text;
    std::vector<std::string> lines;
  } loads[] = {
      {"a\r\nbb\r\nccc\r\n", {"a", "bb", "ccc"}},
      {"a much longer first line than before\r\nx\r\n", {"a much longer first line than before", "x"}},
      {"", {}},
      {"one\ntwo\r\n\r\nlast without break", {"one", "two", "", "last without break"}},
  };
  int changes = 0;
  for (const auto& load : loads) {
    memo.SetText(load.text);
    EXPECT_EQ(memo.Lines(), load.lines) << load.text;
    EXPECT_EQ(view.changes, ++changes);
  }
}

}  // namespace
}  // namespace odb
