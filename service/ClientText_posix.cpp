#include "service/ClientText.h"

namespace odb {

// File names reach the library as the program holds them, UTF-8, whatever the
// environment's locale.
std::string ToClientText(std::string_view utf8) { return std::string(utf8); }
std::string FromClientText(std::string_view bytes) { return std::string(bytes); }

}  // namespace odb
