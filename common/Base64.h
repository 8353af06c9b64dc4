#pragma once
// Base64 (RFC 4648, with padding), for binary values kept in the INI.
#include <optional>
#include <string>
#include <string_view>

namespace odb {

std::string Base64Encode(std::string_view bytes);
// nullopt for text that is not base64 (wrong characters, length or padding).
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace odb
