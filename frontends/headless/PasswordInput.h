#pragma once
// The password of --set-password, read from standard input.
#include <optional>
#include <string>

namespace odb {

// One line without its line end. From a terminal the typed characters are not
// echoed and a prompt goes to standard error; a pipe is read as it comes.
// nullopt when the input ended before anything was read.
std::optional<std::string> ReadPasswordLine();

}  // namespace odb
