#include "common/Cp1250.h"

#include <cstdint>

namespace odb {
namespace {

// Code points of the bytes 0x80..0xFF in Windows-1250; 0 marks the five bytes
// the code page leaves undefined.
constexpr uint16_t kHigh[128] = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0000, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; a malformed byte is taken alone and
// yields U+FFFD, so no input can stall or overrun the loop.
uint32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
  if (length == 0 || i + length > text.size()) {
    ++i;
    return lead < 0x80 ? lead : 0xFFFD;
  }
  uint32_t cp = length == 1 ? lead : lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  i += length;
  return cp;
}

}  // namespace

std::string Cp1250ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  const auto high = [&text](size_t k) { return static_cast<unsigned char>(text[k]) >= 0x80; };
  for (size_t i = 0; i < text.size();) {
    // The log view reloads the whole log file, mostly ASCII: copy it in runs.
    size_t end = i;
    while (end < text.size() && !high(end)) ++end;
    out.append(text.data() + i, end - i);
    if (end == text.size()) break;
    const uint32_t cp = kHigh[static_cast<unsigned char>(text[end]) - 0x80];
    AppendUtf8(out, cp == 0 ? 0xFFFD : cp);
    i = end + 1;
  }
  return out;
}

std::string Utf8ToCp1250(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const uint32_t cp = NextCodePoint(text, i);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 128; ++k) {
      if (kHigh[k] == cp) {
        mapped = static_cast<char>(0x80 + k);
        break;
      }
    }
    out += mapped;
  }
  return out;
}

bool IsNonAsciiUtf8(std::string_view text) {
  const auto byte = [&text](size_t k) { return static_cast<unsigned char>(text[k]); };
  bool beyondAscii = false;
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    beyondAscii = true;
    const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    // The second byte's range is what rules out the overlong forms, the
    // surrogates and what lies beyond U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (byte(i + 1) < low || byte(i + 1) > high) return false;
    for (size_t k = 2; k < length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return beyondAscii;
}

}  // namespace odb
