#pragma once
// The attach parameters: name=value lines. Every change first asks the owner
// (which refuses while attached) and then marks the attach block for rebuilding.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace odb {

class TServiceParams {
 public:
  explicit TServiceParams(std::function<void()> before_change)
      : before_change_(std::move(before_change)) {}

  void Clear();
  void Add(std::string line);
  void Assign(std::vector<std::string> lines);

  const std::vector<std::string>& Lines() const { return lines_; }
  std::size_t Count() const { return lines_.size(); }
  const std::string& operator[](std::size_t i) const { return lines_.at(i); }

 private:
  std::function<void()> before_change_;
  std::vector<std::string> lines_;
};

}  // namespace odb
