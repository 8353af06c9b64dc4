// The configuration file: read once into the live settings at start, written
// back by OK, and LastRun after each backup.
#include "app/Settings.h"

#include "app/AppTexts.h"
#include "backup/Generations.h"
#include "common/FileSystem.h"
#include "common/FlagGuard.h"
#include "common/Text.h"
#include "config/IniFile.h"
#include "log/ActivityLog.h"

namespace odb {

TSettingsBinding::TSettingsBinding(TApplication& app, const TProgramOptions& options)
    : app_(app), configFile_(options.configFile), prepareLogAtStart_(options.prepareLog) {
  // Until a configuration says otherwise the last backup is now: a file that
  // cannot be read is no reason for a catch-up at once.
  Live.LastRun = app.Now();
}

bool TSettingsBinding::LoadSettingsOrTell(const std::string& exePath) {
  bool loaded = false;
  try {
    loaded = LoadSettings(exePath);
  } catch (const std::exception&) {
    loaded = false;
  }
  if (!loaded) app_.ErrorBox(std::string(msg::LoadFailed));
  return loaded;
}

std::string IniFileNameFor(const std::string& exePath, const std::string& configFile) {
  return configFile.empty() ? ChangeExtension(exePath, ".ini") : configFile;
}

bool TSettingsBinding::LoadSettings(const std::string& exePath) {
  // The headless program may name its configuration; its folder and name then
  // stand in for the executable's in the defaults.
  const std::string base = configFile_.empty() ? exePath : configFile_;
  iniFileName_ = IniFileNameFor(exePath, configFile_);
  TFlagGuard busy(settingsFileBusy_);
  const TIniFile ini(iniFileName_);
  TSettings loaded = ReadSettings(ini, DefaultSettings(base, SettingsFolder()));
  if (prepareLogAtStart_ && !PrepareLogFile(loaded.LogFileName, loaded.ClearLog)) loaded.LogToFile = false;
  iniUtf8_ = ini.Utf8();
  Live = std::move(loaded);
  if (!OnLoaded) return true;
  // Showing the settings copies each control back into Live as it changes;
  // the action is set by the list only when the user picks one, so it is
  // put back, also when showing fails.
  const TSettings shown = Live;
  struct TActionKept {
    TSettings& live;
    const std::string& action;
    ~TActionKept() { live.EventAction = action; }
  } kept{Live, shown.EventAction};
  OnLoaded(shown);
  return true;
}

std::string TSettingsBinding::SettingsFolder() const {
  const size_t start = FileNameStart(iniFileName_);
  // Never empty: an empty folder joined with a delimiter names the root.
  return start == 0 ? std::string(".") + fs::PathDelimiter() : iniFileName_.substr(0, start);
}

std::string TSettingsBinding::BackupFolder() const {
  // A blank folder would put the backups, and the rotation, into the root.
  return IsBlankText(Live.BackupPath, TBlanks::SpaceTab) ? SettingsFolder() : Live.BackupPath;
}

std::string TSettingsBinding::MirrorFolder() const { return std::string(Trim(Live.MirrorPath, TBlanks::SpaceTab)); }

TSettings TSettingsBinding::Written() const {
  TSettings written = Live;
  written.EventAction = TEventAction::FromItemIndex(EventAction().ItemIndex()).Name();
  return written;
}

bool TSettingsBinding::SaveSettings(const std::string&) {
  // A count every backup would refuse is refused before anything is written,
  // so the file keeps one that works and the next start has it.
  (void)BackupCountFromText(Live.BackupCount);
  TFlagGuard busy(settingsFileBusy_);
  TIniFile ini(iniFileName_);
  // From here on the action is always one of the three names.
  Live.EventAction = Written().EventAction;
  WriteSettings(ini, Live);
  ini.UpdateFile();
  return true;
}

void TSettingsBinding::SaveLastRun() {
  TFlagGuard busy(settingsFileBusy_);
  TIniFile ini(iniFileName_);
  WriteLastRun(ini, Live);
  ini.UpdateFile();
}

std::string TSettingsBinding::SettingsText() const {
  // Into an empty file in memory: nothing on disk is touched or created. In
  // the loaded file's encoding, as OK would write into it.
  TIniFile ini = TIniFile::InMemory(iniUtf8_);
  WriteSettings(ini, Written());
  return ini.Bytes();
}

}  // namespace odb
