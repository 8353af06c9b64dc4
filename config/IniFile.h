#pragma once
// The configuration file, read and written as the Windows private profile
// functions do it, on every platform. The file is read once, when the object
// is made; reads and writes work on that copy, and UpdateFile puts all the
// changes into the file at once, so one operation rewrites it once and a
// crash leaves either the old file or the new one.
//
// Bytes on disk are Windows-1250 with CR LF, or UTF-8 when the file starts with
// a UTF-8 byte-order mark (which is then kept) or, on Linux, when it is UTF-8
// with a character beyond ASCII; names and values here are UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

namespace odb {

class TIniFile {
 public:
  // Values longer than this are cut, as the profile read buffer of 2048 did.
  static constexpr size_t MaxValueLength = 2047;

  // Reads the file; a missing file reads as an empty one.
  explicit TIniFile(std::string fileName);
  // An empty file that exists only in memory, in Windows-1250 or UTF-8;
  // UpdateFile writes nothing.
  TIniFile();
  static TIniFile InMemory(bool utf8);
  const std::string& FileName() const { return fileName_; }
  // The bytes UpdateFile would write.
  const std::string& Bytes() const { return bytes_; }
  // The file is read and written as UTF-8.
  bool Utf8() const { return utf8_; }

  // Blanks trimmed, one pair of enclosing quotes removed; defaultValue when the
  // file, the section or the key is missing; empty text for an empty value.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // "0x"/"0X" means hexadecimal; text that does not convert gives defaultValue.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
  // Yes when the text (defaultText for a missing key) is "A" or "Y" in any case.
  bool ReadBool(std::string_view section, std::string_view key, std::string_view defaultText) const;

  // Replaces the key's value in place, or adds the key at the end of its
  // section, or the section at the end of the file. All other lines keep
  // their bytes. Only in memory until UpdateFile.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  // "A" for yes, "N" for no.
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // After any write: replaces the file (creating it) in one atomic step.
  // Raises EIniFileError "Unable to write to <file>" and leaves the file as it
  // was when that fails, or when the file existed but could not be read, so
  // it is never replaced blindly.
  void UpdateFile();

 private:
  std::string fileName_;
  std::string bytes_;
  bool unreadable_ = false;
  bool written_ = false;
  bool utf8_ = false;

  void KeepEncodingReadable();
};

// The boolean rule of the configuration: ASCII upper case equals "A" or "Y".
bool IsYesText(std::string_view text);

}  // namespace odb
