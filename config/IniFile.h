#pragma once
// The configuration file, read and written as the Windows private profile
// functions do it, on every platform. The file is opened by name for each
// operation and closed at its end; nothing is cached in between, so another
// program may change it between two calls.
//
// Bytes on disk are Windows-1250 with CR LF (or UTF-8 when the file starts with
// a UTF-8 byte-order mark, which is then kept); names and values here are UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

namespace odb {

class TIniFile {
 public:
  // Values longer than this are cut, as the profile read buffer of 2048 did.
  static constexpr size_t MaxValueLength = 2047;

  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
  const std::string& FileName() const { return fileName_; }

  // Blanks trimmed, one pair of enclosing quotes removed; defaultValue when the
  // file, the section or the key is missing; empty text for an empty value.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // "0x"/"0X" means hexadecimal; text that does not convert gives defaultValue.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
  // Yes when the text (defaultText for a missing key) is "A" or "Y" in any case.
  bool ReadBool(std::string_view section, std::string_view key, std::string_view defaultText) const;

  // Replaces the key's value in place, or adds the key at the end of its
  // section, or the section at the end of the file, or creates the file. All
  // other lines keep their bytes. Raises EIniFileError when the file cannot be
  // written (or, existing, cannot be read, so it is never replaced blindly).
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  // "A" for yes, "N" for no.
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  std::string fileName_;
};

// The boolean rule of the configuration: ASCII upper case equals "A" or "Y".
bool IsYesText(std::string_view text);

}  // namespace odb
