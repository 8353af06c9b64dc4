#pragma once
// The settings binding: the configuration file read into the settings
// controls, written back from them, and the two settings no control holds.
#include <cstdint>
#include <string>

#include "app/EventAction.h"
#include "app/ODBackup.h"

namespace odb {

class TDataODBackup;
class TIniFile;
class TSettingsControls;

// The configuration file: the one named, or the executable's name with ".ini".
std::string IniFileNameFor(const std::string& exePath, const std::string& configFile);

class TSettingsBinding {
 public:
  TSettingsBinding(TApplication& app, TDataODBackup& data, TSettingsControls& controls,
                   const TProgramOptions& options);

  // Fills the controls, the event action, the icon set, the times table and
  // LastRun. Errors pass to the caller; what was filled before them stays.
  [[nodiscard]] bool LoadSettings(const std::string& exePath);
  // LoadSettings; a failure is shown to the user and gives false.
  bool LoadSettingsOrTell(const std::string& exePath);
  // Writes the file named by IniFileName; the path is not used.
  bool SaveSettings(const std::string& exePath);
  void SaveLastRun();
  // The bytes SaveSettings would write into a new file (CR LF; Windows-1250,
  // or UTF-8 as the loaded file was), made in memory: nothing is written.
  std::string SettingsText();

  const std::string& IniFileName() const { return iniFileName_; }
  // The folder of IniFileName, ending in a delimiter; never empty.
  std::string SettingsFolder() const;
  // Raised while the file is read or written: loading the controls must not
  // move the tray icon.
  bool SettingsFileBusy() const { return settingsFileBusy_; }
  const TEventAction& EventAction() const { return eventAction_; }
  // The action list's choice, before OK saves it.
  void SetEventAction(TEventAction action) { eventAction_ = std::move(action); }
  int32_t IconSetIndex() const { return iconSetIndex_; }
  void SetIconSetIndex(int32_t index) { iconSetIndex_ = index; }

 private:
  void PrepareLogFile();
  void LoadDays(const std::string& text);
  void LoadTimes(const TIniFile& ini);
  void WriteSettings(TIniFile& ini);
  void WriteTimes(TIniFile& ini);
  std::string DaysText() const;

  TApplication& app_;
  TDataODBackup& data_;
  TSettingsControls& controls_;
  // Overrides the configuration file next to the executable (headless --config).
  const std::string configFile_;
  const bool prepareLogAtStart_;
  std::string iniFileName_;
  bool iniUtf8_ = false;
  bool settingsFileBusy_ = false;
  // Before loading, no name: the tray shows the icon of an unknown action.
  TEventAction eventAction_ = TEventAction::FromName({});
  int32_t iconSetIndex_ = 1;
};

}  // namespace odb
