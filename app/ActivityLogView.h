#pragma once
// The activity log as the settings have it: the log file named by its edit,
// written while its box is ticked.
#include <string>

namespace odb {

class TApplication;
class TMemo;
class TSettingsControls;

// Appends the entry while logging is on and the file exists; a file that
// cannot be appended to turns logging off. view, when given, then shows the
// whole file.
void AddLogEntry(TApplication& app, TSettingsControls& settings, const std::string& message, TMemo* view);

}  // namespace odb
