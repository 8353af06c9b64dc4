#include "common/Format.h"

namespace odb {

std::string FormatMsg(std::string_view pattern, std::string_view argument) {
  std::string out(pattern);
  for (const char* placeholder : {"%s", "%d"}) {
    if (const auto at = out.find(placeholder); at != std::string::npos) {
      return out.replace(at, 2, argument);
    }
  }
  return out;
}

std::string FormatMsg(std::string_view pattern, long long argument) {
  return FormatMsg(pattern, std::to_string(argument));
}

}  // namespace odb
