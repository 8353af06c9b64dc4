// The INI reader and writer on arbitrary file contents: read every key found,
// write one value, read again. The written key reads back as written, and
// every other key keeps its value.
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/Cp1250.h"
#include "common/FileSystem.h"
#include "config/IniFile.h"

namespace {

using Key = std::pair<std::string, std::string>;  // section, name (UTF-8)

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// How the program reads the file on Linux, where the fuzzer runs.
bool ReadAsUtf8(const std::string& bytes) {
  return bytes.starts_with("\xEF\xBB\xBF") || odb::IsNonAsciiUtf8(bytes);
}

// Section and key names as the file holds them, in the program's UTF-8.
std::vector<Key> KeysOf(const std::string& bytes) {
  const bool utf8 = ReadAsUtf8(bytes);
  const auto decode = [&](const std::string& raw) { return utf8 ? raw : odb::Cp1250ToUtf8(raw); };
  std::vector<Key> keys;
  std::string section;
  bool inSection = false;
  size_t at = 0;
  while (at < bytes.size() && keys.size() < 16) {
    const size_t end = bytes.find_first_of("\r\n", at);
    const std::string line = Trimmed(bytes.substr(at, end == std::string::npos ? end : end - at));
    at = end == std::string::npos ? bytes.size() : end + 1;
    if (line.starts_with('[') && line.find(']') != std::string::npos) {
      section = Trimmed(line.substr(1, line.find(']') - 1));
      inSection = true;
    } else if (inSection && line.find('=') != std::string::npos) {
      const std::string name = Trimmed(line.substr(0, line.find('=')));
      if (!name.empty()) keys.emplace_back(decode(section), decode(name));
    }
  }
  keys.emplace_back("Settings", "EventCountTimes");
  keys.emplace_back("Backups", "LastRun");
  return keys;
}

// A value that reads back as written: one line, no blanks or quotes around it.
std::string ValueFrom(const uint8_t* data, size_t size) {
  std::string value;
  for (size_t i = 0; i < size && value.size() < 300; ++i) {
    const char c = static_cast<char>(0x21 + data[i] % 0x5E);
    if (data[i] >= 0xF0) value += "ž";
    else if (c != '"' && c != '\'') value += c;
  }
  return value.empty() ? "A" : value;
}

std::map<Key, std::string> ReadAll(const odb::TIniFile& ini, const std::vector<Key>& keys) {
  std::map<Key, std::string> values;
  for (const auto& [section, name] : keys) {
    values[{section, name}] = ini.ReadString(section, name, "\x01missing");
  }
  return values;
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool Plain(const std::string& name) {
  for (const unsigned char c : name) {
    if (c < 0x21 || c > 0x7E || c == ']' || c == '[' || c == '=') return false;
  }
  return !name.empty();
}

// The one file each run writes, in memory where there is a place for it.
struct TScratchFile {
  std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                     "/odb-fuzz-ini-" + std::to_string(getpid()) + ".ini";
  ~TScratchFile() { unlink(path.c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static const TScratchFile scratch;
  const std::string& path = scratch.path;
  // The last bytes choose the key and the value; the rest is the file.
  const size_t valueBytes = data[size - 1] % 32;
  const size_t fileSize = size - 1 - std::min(valueBytes, size - 1);
  const std::string bytes(reinterpret_cast<const char*>(data), fileSize);
  Check(odb::fs::WriteFile(path, bytes));

  odb::TIniFile ini(path);
  std::vector<Key> keys = KeysOf(bytes);
  const std::map<Key, std::string> before = ReadAll(ini, keys);

  Key target = keys[data[size - 1] % keys.size()];
  if (!Plain(target.first) || !Plain(target.second)) target = {"Fuzz", "Written"};
  keys.push_back(target);
  const std::string value = ValueFrom(data + fileSize, size - 1 - fileSize);
  ini.WriteString(target.first, target.second, value);
  ini.UpdateFile();

  // A Windows-1250 file with bytes the code page leaves undefined can turn
  // into UTF-8 by a write, and is then read as such: nothing to compare.
  const std::string lossless = odb::Utf8ToCp1250(odb::Cp1250ToUtf8(bytes));
  if (lossless != bytes && !ReadAsUtf8(bytes) && ReadAsUtf8(odb::fs::ReadFile(path).value_or(""))) return 0;
  const std::map<Key, std::string> after = ReadAll(odb::TIniFile(path), keys);
  for (const auto& [key, old] : before) {
    // Names differing only in case are one key to the profile rules.
    const bool same = SameName(key.first, target.first) && SameName(key.second, target.second);
    Check(same ? after.at(key) == value : after.at(key) == old);
  }
  Check(after.at(target) == value);
  // Written once more with the same value, the file does not change.
  const std::string written = odb::fs::ReadFile(path).value_or("");
  ini.WriteString(target.first, target.second, value);
  ini.UpdateFile();
  Check(odb::fs::ReadFile(path).value_or("") == written);
  return 0;
}
