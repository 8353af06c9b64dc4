#pragma once
// The live settings and the configuration file they come from: read once at
// start, written back by OK, and LastRun after each backup. The settings
// window edits Live; everything else reads it.
#include <cstdint>
#include <functional>
#include <string>

#include "app/EventAction.h"
#include "app/ODBackup.h"
#include "config/ProgramSettings.h"

namespace odb {

// The configuration file: the one named, or the executable's name with ".ini".
std::string IniFileNameFor(const std::string& exePath, const std::string& configFile);

class TSettingsBinding {
 public:
  TSettingsBinding(TApplication& app, const TProgramOptions& options);

  // Reads the file into Live (and prepares the log file when the options ask
  // for it). Errors pass to the caller; Live then stays as it was.
  [[nodiscard]] bool LoadSettings(const std::string& exePath);
  // LoadSettings; a failure is shown to the user and gives false.
  bool LoadSettingsOrTell(const std::string& exePath);
  // Writes Live into the file named by IniFileName; the path is not used.
  bool SaveSettings(const std::string& exePath);
  void SaveLastRun();
  // The bytes SaveSettings would write into a new file (CR LF; Windows-1250,
  // or UTF-8 as the loaded file was), made in memory: nothing is written.
  std::string SettingsText() const;

  const std::string& IniFileName() const { return iniFileName_; }
  // The folder of IniFileName, ending in a delimiter; never empty.
  std::string SettingsFolder() const;
  // The backup folder text, or the configuration's folder when it is blank.
  std::string BackupFolder() const;
  // The mirror's folder, trimmed; empty when there is no mirror.
  std::string MirrorFolder() const;
  // Raised while the file is read or written: loading the controls must not
  // move the tray icon.
  bool SettingsFileBusy() const { return settingsFileBusy_; }
  TEventAction EventAction() const { return TEventAction::FromName(Live.EventAction); }
  // The action list's choice, before OK saves it.
  void SetEventAction(const TEventAction& action) { Live.EventAction = action.Name(); }
  int32_t IconSetIndex() const { return Live.IconSet; }
  void SetIconSetIndex(int32_t index) { Live.IconSet = index; }

  // What the next backup and the next tick use, saved or not.
  TSettings Live;
  // Called with the loaded settings while the file is still busy: the window
  // shows them in its controls.
  std::function<void(const TSettings&)> OnLoaded;

 private:
  // Live as OK writes it: the action is one of the three names.
  TSettings Written() const;

  TApplication& app_;
  // Overrides the configuration file next to the executable (headless --config).
  const std::string configFile_;
  const bool prepareLogAtStart_;
  std::string iniFileName_;
  bool iniUtf8_ = false;
  bool settingsFileBusy_ = false;
};

}  // namespace odb
