#include "log/ActivityLog.h"

#include "common/Cp1250.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "log/LogTexts.h"

namespace odb {

bool PrepareLogFile(const std::string& path, bool clear) {
  if (!clear && fs::FileExists(path)) return true;
  return fs::WriteFile(path, std::string());
}

std::string FormatLogEntry(std::string_view message, TDateTime now) {
  std::string entry = FormatMsg(msg::LogStamp, FormatDateTime(now));
  entry += "\r\n";
  entry += message;
  entry += "\r\n";
  return Utf8ToCp1250(entry);
}

bool AppendLogEntry(const std::string& path, std::string_view message, TDateTime now) {
  return fs::AppendExistingFile(path, FormatLogEntry(message, now));
}

std::string ReadLogText(const std::string& path) {
  const auto bytes = fs::ReadFile(path);
  if (!bytes) throw Exception(FormatMsg(msg::LogReadFailed, path));
  return Cp1250ToUtf8(*bytes);
}

}  // namespace odb
