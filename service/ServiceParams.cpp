#include "service/ServiceParams.h"

namespace odb {

void TServiceParams::Clear() {
  before_change_();
  lines_.clear();
}

void TServiceParams::Add(std::string line) {
  before_change_();
  lines_.push_back(std::move(line));
}

void TServiceParams::Assign(std::vector<std::string> lines) {
  before_change_();
  lines_ = std::move(lines);
}

}  // namespace odb
