#include "common/Base64.h"

#include <algorithm>
#include <cstdint>

namespace odb {
namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Sextet(char c) {
  const auto at = kAlphabet.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (size_t k = 0; k < 3; ++k) {
      group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    }
    for (size_t k = 0; k < 4; ++k) {
      text += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return text;
}

std::optional<std::string> Base64Decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string bytes;
  for (size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    const size_t pad = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
    if (pad == 1 && text[i + 2] == '=') return std::nullopt;
    std::uint32_t group = 0;
    for (size_t k = 0; k < 4; ++k) {
      const int v = k >= 4 - pad ? 0 : Sextet(text[i + k]);
      if (v < 0) return std::nullopt;
      group = (group << 6) | static_cast<std::uint32_t>(v);
    }
    for (size_t k = 0; k < 3 - pad; ++k) bytes += static_cast<char>((group >> (16 - 8 * k)) & 0xFF);
  }
  return bytes;
}

}  // namespace odb
