#pragma once
// The activity log file: Windows-1250 text with CR LF, entries of two lines
// (a stamp with the time of writing, then the message), only ever appended.
// The window side (the check box, the log view, the error box) calls these.
#include <string>
#include <string_view>

#include "common/DateTime.h"

namespace odb {

// Creates the file empty when it is missing or when clear is set (truncating
// it). False when creating, truncating or closing failed.
[[nodiscard]] bool PrepareLogFile(const std::string& path, bool clear);

// The bytes of one entry as they go into the file: the stamp
// "<Čas zápisu: dd.mm.yyyy hh:nn:ss>", CR LF, the message as given, CR LF,
// all in Windows-1250.
std::string FormatLogEntry(std::string_view message, TDateTime now);

// Appends one entry at the end of an existing file without reading it. False
// when the file does not exist (nothing is created) or opening, writing or
// closing failed.
[[nodiscard]] bool AppendLogEntry(const std::string& path, std::string_view message, TDateTime now);

// The whole file as UTF-8 text for the log view. Raises Exception when the
// file cannot be read (for example held open by another program).
std::string ReadLogText(const std::string& path);

}  // namespace odb
