#include "config/ListParse.h"

#include "common/Text.h"

#include <utility>

namespace odb {

std::string TakeToken(std::string& rest, char delimiter) {
  const auto at = rest.find(delimiter);
  if (at == std::string::npos) return std::exchange(rest, std::string());
  std::string item(Trim(std::string_view(rest).substr(0, at), TBlanks::Controls));
  rest.erase(0, at + 1);
  return item;
}

int SplitList(std::vector<std::string>& list, std::string_view text, char delimiter) {
  list.clear();
  std::string rest(text);
  while (!rest.empty()) list.push_back(TakeToken(rest, delimiter));
  return static_cast<int>(list.size());
}

}  // namespace odb
