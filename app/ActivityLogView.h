#pragma once
// The activity log as the settings have it: the log file they name, written
// while logging is on.
#include <string>

namespace odb {

class TApplication;
class TMemo;
struct TSettings;

// Appends the entry while logging is on and the file exists; a file that
// cannot be appended to turns logging off. view, when given, then shows the
// whole file.
void AddLogEntry(TApplication& app, TSettings& settings, const std::string& message, TMemo* view);

}  // namespace odb
