#include "config/IniFile.h"

#include "common/Cp1250.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "common/Text.h"
#include "config/ConfigTexts.h"
#include "config/ListParse.h"

#include <optional>
#include <vector>

namespace odb {
namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
// Linux admins edit the file in UTF-8 editors, which write no byte-order mark;
// on Windows every file without one is Windows-1250, as the profile functions
// read it there.
#ifdef _WIN32
constexpr bool kUnmarkedUtf8 = false;
#else
constexpr bool kUnmarkedUtf8 = true;
#endif

// One line of the file: its text without the line break, and where the next
// line starts. CR LF, a lone LF and a lone CR all end a line, as for the
// profile functions.
struct TLine {
  size_t begin = 0;
  size_t end = 0;
  size_t next = 0;
};

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// The file's bytes with the knowledge of their encoding.
class TIniText {
 public:
  TIniText(std::string bytes, bool utf8) : bytes_(std::move(bytes)), utf8_(utf8) {
    SplitLines(bytes_.starts_with(Utf8Bom) ? Utf8Bom.size() : 0);
  }

  std::string& Bytes() { return bytes_; }
  const std::vector<TLine>& Lines() const { return lines_; }
  std::string_view Text(const TLine& line) const {
    return std::string_view(bytes_).substr(line.begin, line.end - line.begin);
  }
  std::string Encode(std::string_view utf8) const { return utf8_ ? std::string(utf8) : Utf8ToCp1250(utf8); }
  std::string Decode(std::string_view bytes) const { return utf8_ ? std::string(bytes) : Cp1250ToUtf8(bytes); }

  std::optional<std::string_view> SectionName(const TLine& line) const {
    const std::string_view text = Trim(Text(line), TBlanks::SpaceTab);
    const auto close = text.find(']');
    if (!text.starts_with('[') || close == std::string_view::npos) return std::nullopt;
    return Trim(text.substr(1, close - 1), TBlanks::SpaceTab);
  }

  // Index of the first line of the first section with this name, after its header.
  std::optional<size_t> FindSection(std::string_view name) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
      const auto header = SectionName(lines_[i]);
      if (header && SameName(*header, name)) return i + 1;
    }
    return std::nullopt;
  }

  // One past the last line of the section that starts at first.
  size_t SectionEnd(size_t first) const {
    while (first < lines_.size() && !SectionName(lines_[first])) ++first;
    return first;
  }

  std::optional<size_t> FindKey(size_t first, size_t last, std::string_view key) const {
    for (size_t i = first; i < last; ++i) {
      const std::string_view text = Text(lines_[i]);
      const auto equals = text.find('=');
      if (equals != std::string_view::npos && SameName(Trim(text.substr(0, equals), TBlanks::SpaceTab), key)) return i;
    }
    return std::nullopt;
  }

 private:
  void SplitLines(size_t at) {
    while (at < bytes_.size()) {
      TLine line{at, at, at};
      while (line.end < bytes_.size() && bytes_[line.end] != '\r' && bytes_[line.end] != '\n') ++line.end;
      line.next = line.end;
      if (line.next < bytes_.size() && bytes_[line.next] == '\r') ++line.next;
      if (line.next < bytes_.size() && bytes_[line.next] == '\n') ++line.next;
      lines_.push_back(line);
      at = line.next;
    }
  }

  std::string bytes_;
  bool utf8_ = false;
  std::vector<TLine> lines_;
};

// A value or name is written on one line: a line break inside it would start a
// key or section of its own in the file.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

// Cuts UTF-8 text after the given number of characters.
std::string CutCharacters(std::string text, size_t count) {
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (count-- == 0) {
      text.resize(i);
      break;
    }
  }
  return text;
}

bool EndsWithLineBreak(const std::string& bytes) {
  return bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
}

// The last line of the section that is not blank, or the header when none is.
size_t InsertionLine(const TIniText& ini, size_t first, size_t last) {
  size_t after = first - 1;
  for (size_t i = first; i < last; ++i) {
    if (!Trim(ini.Text(ini.Lines()[i]), TBlanks::SpaceTab).empty()) after = i;
  }
  return after;
}

void AddKeyAfter(TIniText& ini, size_t lineIndex, const std::string& keyLine) {
  const TLine& line = ini.Lines()[lineIndex];
  std::string& bytes = ini.Bytes();
  if (line.next == line.end) {
    bytes.insert(line.next, "\r\n" + keyLine);
  } else {
    bytes.insert(line.next, keyLine + "\r\n");
  }
}

void Apply(TIniText& ini, std::string_view section, std::string_view key, std::string_view value) {
  const std::string sectionBytes = ini.Encode(OneLine(Trim(section, TBlanks::SpaceTab)));
  const std::string keyBytes = ini.Encode(OneLine(Trim(key, TBlanks::SpaceTab)));
  const std::string valueBytes = ini.Encode(OneLine(value));
  std::string& bytes = ini.Bytes();
  const auto first = ini.FindSection(sectionBytes);
  if (!first) {
    if (!EndsWithLineBreak(bytes)) bytes += "\r\n";
    bytes += "[" + sectionBytes + "]\r\n" + keyBytes + "=" + valueBytes + "\r\n";
    return;
  }
  const size_t last = ini.SectionEnd(*first);
  if (const auto at = ini.FindKey(*first, last, keyBytes)) {
    const TLine& line = ini.Lines()[*at];
    const size_t valueBegin = bytes.find('=', line.begin) + 1;
    bytes.replace(valueBegin, line.end - valueBegin, valueBytes);
    return;
  }
  AddKeyAfter(ini, InsertionLine(ini, *first, last), keyBytes + "=" + valueBytes);
}

}  // namespace

bool IsYesText(std::string_view text) {
  return text.size() == 1 && (AsciiUpper(text[0]) == 'A' || AsciiUpper(text[0]) == 'Y');
}

TIniFile::TIniFile() = default;

TIniFile TIniFile::InMemory(bool utf8) {
  TIniFile ini;
  ini.utf8_ = utf8;
  return ini;
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  if (!fs::FileExists(fileName_)) return;
  auto bytes = fs::ReadFile(fileName_);
  unreadable_ = !bytes;
  if (bytes) bytes_ = std::move(*bytes);
  // Decided once, from the bytes as they came: what this object writes is read
  // back the same way, and the file is written back in its own encoding.
  utf8_ = bytes_.starts_with(Utf8Bom) || (kUnmarkedUtf8 && IsNonAsciiUtf8(bytes_));
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  const TIniText ini(bytes_, utf8_);
  const auto first = ini.FindSection(ini.Encode(Trim(section, TBlanks::SpaceTab)));
  if (!first) return std::string(defaultValue);
  const auto at = ini.FindKey(*first, ini.SectionEnd(*first), ini.Encode(Trim(key, TBlanks::SpaceTab)));
  if (!at) return std::string(defaultValue);
  const std::string_view text = ini.Text(ini.Lines()[*at]);
  const std::string value = Unquote(Trim(text.substr(text.find('=') + 1), TBlanks::SpaceTab));
  return CutCharacters(ini.Decode(value), MaxValueLength);
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  const TIniText ini(bytes_, utf8_);
  const auto first = ini.FindSection(ini.Encode(Trim(section, TBlanks::SpaceTab)));
  return first && ini.FindKey(*first, ini.SectionEnd(*first), ini.Encode(Trim(key, TBlanks::SpaceTab)));
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                              int32_t defaultValue) const {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
  return ParseInteger(text).value_or(defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key,
                        std::string_view defaultText) const {
  return IsYesText(ReadString(section, key, defaultText));
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  TIniText ini(std::move(bytes_), utf8_);
  Apply(ini, section, key, value);
  bytes_ = std::move(ini.Bytes());
  written_ = true;
  KeepEncodingReadable();
}

// A write can take the last byte that is not UTF-8 out of a Windows-1250 file
// whose other accented letters happen to pair up as UTF-8; read again, every
// one of them would change. Such a file becomes UTF-8 as a whole instead,
// unless it holds bytes Windows-1250 leaves undefined, which no conversion
// would give back.
void TIniFile::KeepEncodingReadable() {
  if (utf8_ || !kUnmarkedUtf8 || !IsNonAsciiUtf8(bytes_)) return;
  std::string utf8 = Cp1250ToUtf8(bytes_);
  if (Utf8ToCp1250(utf8) != bytes_) return;
  bytes_ = std::move(utf8);
  utf8_ = true;
}

void TIniFile::UpdateFile() {
  if (!written_ || fileName_.empty()) return;
  if (unreadable_ || !fs::ReplaceFileAtomically(fileName_, bytes_)) {
    throw EIniFileError(FormatMsg(msg::UnableToWrite, fileName_));
  }
  written_ = false;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "A" : "N");
}

}  // namespace odb
