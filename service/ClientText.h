#pragma once
// Text at the client library's edge. The library reads and writes narrow
// strings in the platform's own encoding: the ANSI code page on Windows,
// UTF-8 on Linux. Inside, the program's text is UTF-8.
#include <string>
#include <string_view>

namespace odb {

// Raises EServiceClientError naming the text when a character of it has no
// place in the library's encoding.
std::string ToClientText(std::string_view utf8);
std::string FromClientText(std::string_view bytes);

}  // namespace odb
