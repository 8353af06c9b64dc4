// The configuration file: read once into the controls at start, written back
// by OK, and LastRun after each backup.
#include "app/Settings.h"

#include "app/AppTexts.h"
#include "app/SettingsControls.h"
#include "backup/Generations.h"
#include "common/Cp1250.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/FlagGuard.h"
#include "common/Format.h"
#include "common/Text.h"
#include "config/IniFile.h"
#include "config/ListParse.h"
#include "config/TimeOfDay.h"
#include "log/ActivityLog.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

constexpr const char* kOrdavaDB = "OrdavaDB";
constexpr const char* kBackups = "Backups";
constexpr const char* kSettings = "Settings";
constexpr const char* kUserInterface = "UserInterface";
constexpr const char* kLastPlannedRun = "LastPlannedRun";
// The plan holds at most 30 times; a hand-edited count far beyond that must not
// make the start read the file millions of times.
constexpr int32_t kMaxTimeKeys = 1000;
// Row numbers of the times table run from 1 to 30; later entries are ignored.
constexpr int kMaxTimes = 30;

std::string TimeKey(int32_t n) { return "Time_" + std::to_string(n); }

// A blank path would put the file into the current folder or, joined with a
// delimiter, the filesystem root; it reads as the default instead.
std::string ReadPath(const TIniFile& ini, const char* section, const char* key, const std::string& fallback) {
  std::string path = ini.ReadString(section, key, fallback);
  return IsBlankText(path, TBlanks::SpaceTab) ? fallback : path;
}

}  // namespace

TSettingsBinding::TSettingsBinding(TApplication& app, TDataODBackup& data, TSettingsControls& controls,
                                   const TProgramOptions& options)
    : app_(app),
      data_(data),
      controls_(controls),
      configFile_(options.configFile),
      prepareLogAtStart_(options.prepareLog) {}

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
  iniUtf8_ = ini.Utf8();
  TSettingsControls& c = controls_;
  c.RBLocal.SetChecked(ini.ReadBool(kOrdavaDB, "LocalHost", "Y"));
  c.RBHost.SetChecked(!c.RBLocal.Checked());
  c.EdtServer.SetText(ini.ReadString(kOrdavaDB, "ServerName", "localhost"));
  c.EdtPath.SetText(ini.ReadString(kOrdavaDB, "DatabaseName", "Ordava.fdb"));
  c.EdtLogFilePath.SetText(ReadPath(ini, kOrdavaDB, "LogFileName", ChangeExtension(base, ".log")));
  c.EdtBackupPath.SetText(ReadPath(ini, kBackups, "BackupPath", SettingsFolder()));
  c.sedtBackupCount.SetText(ini.ReadString(kBackups, "BackupCount", "5"));
  data_.LastRun = ParseDateTime(ini.ReadString(kBackups, "LastRun", "01.01.1990 00:00:00"))
                      .value_or(BaseDateTime);
  data_.LastPlannedRun = ParseDateTime(ini.ReadString(kBackups, kLastPlannedRun, "")).value_or(BaseDateTime);
  c.CBLogActivity.SetChecked(ini.ReadBool(kSettings, "LogToFile", "N"));
  c.CB_ClearLog.SetChecked(ini.ReadBool(kSettings, "ClearLog", "A"));
  if (prepareLogAtStart_) PrepareLogFile();
  c.CB_RunMinimalized.SetChecked(ini.ReadBool(kSettings, "RunMinimalized", "N"));
  c.CBVerifyBackup.SetChecked(ini.ReadBool(kSettings, "VerifyBackup", "N"));
  eventAction_ = TEventAction::FromName(
      ini.ReadString(kSettings, "EventAction", TEventAction(TActionKind::OnceBackup).Name()));
  c.cbAction.SetItemIndex(eventAction_.ItemIndex());
  LoadDays(ini.ReadString(kSettings, "Days", "1,2,3,4,5,6,7"));
  LoadTimes(ini);
  iconSetIndex_ = ini.ReadInteger(kUserInterface, "IconSet", 1);
  return true;
}

void TSettingsBinding::PrepareLogFile() {
  if (!odb::PrepareLogFile(controls_.EdtLogFilePath.Text(), controls_.CB_ClearLog.Checked())) {
    controls_.CBLogActivity.SetChecked(false);
  }
}

void TSettingsBinding::LoadDays(const std::string& text) {
  std::vector<std::string> items;
  SplitList(items, text, ',');
  for (int day = 1; day <= 7; ++day) {
    const std::string digit(1, static_cast<char>('0' + day));
    for (const auto& item : items) {
      if (item == digit) {
        controls_.CheckWeekday(day);
        break;
      }
    }
  }
}

void TSettingsBinding::LoadTimes(const TIniFile& ini) {
  TMemTimes& table = data_.MemTimes;
  // Only a missing key means one entry; a count that does not convert reads none.
  const int32_t missingCount = ini.ReadString(kSettings, "EventCountTimes", "1") == "1" ? 1 : 0;
  const int32_t count = ini.ReadInteger(kSettings, "EventCountTimes", missingCount);
  if (count <= 0) {
    // An empty plan still needs an open table for the grid, the save and the schedule.
    if (!table.Active()) table.Open();
    return;
  }
  TControlsDisabled noRedraw(table);
  if (table.Active()) {
    table.EmptyTable();
  } else {
    table.Open();
  }
  for (int32_t i = 1; i <= std::min(count, kMaxTimeKeys) && table.RecordCount() < kMaxTimes; ++i) {
    std::string time(Trim(ini.ReadString(kSettings, TimeKey(i), ""), TBlanks::SpaceTab));
    if (time.empty() || !NormalizeTime(time)) continue;
    table.Append();
    table.SetTimeText(time);
    table.Post();
  }
}

std::string TSettingsBinding::SettingsFolder() const {
  const size_t start = FileNameStart(iniFileName_);
  // Never empty: an empty folder joined with a delimiter names the root.
  return start == 0 ? std::string(".") + fs::PathDelimiter() : iniFileName_.substr(0, start);
}

bool TSettingsBinding::SaveSettings(const std::string&) {
  // A count every backup would refuse is refused before anything is written,
  // so the file keeps one that works and the next start has it.
  (void)BackupCountFromText(controls_.sedtBackupCount.Text());
  TFlagGuard busy(settingsFileBusy_);
  TIniFile ini(iniFileName_);
  WriteSettings(ini);
  ini.UpdateFile();
  return true;
}

void TSettingsBinding::WriteSettings(TIniFile& ini) {
  const TSettingsControls& c = controls_;
  ini.WriteBool(kOrdavaDB, "LocalHost", c.RBLocal.Checked());
  ini.WriteString(kOrdavaDB, "ServerName", c.EdtServer.Text());
  ini.WriteString(kOrdavaDB, "DatabaseName", c.EdtPath.Text());
  ini.WriteString(kOrdavaDB, "LogFileName", c.EdtLogFilePath.Text());
  ini.WriteString(kBackups, "BackupPath", c.EdtBackupPath.Text());
  ini.WriteString(kBackups, "BackupCount", c.sedtBackupCount.Text());
  ini.WriteString(kBackups, "LastRun", FormatDateTime(data_.LastRun));
  ini.WriteBool(kSettings, "LogToFile", c.CBLogActivity.Checked());
  ini.WriteBool(kSettings, "ClearLog", c.CB_ClearLog.Checked());
  ini.WriteBool(kSettings, "RunMinimalized", c.CB_RunMinimalized.Checked());
  eventAction_ = TEventAction::FromItemIndex(c.cbAction.ItemIndex());
  ini.WriteString(kSettings, "EventAction", eventAction_.Name());
  ini.WriteString(kSettings, "Days", DaysText());
  WriteTimes(ini);
  // Written once it has been on: until then the file stays as it always was.
  if (c.CBVerifyBackup.Checked() || ini.ValueExists(kSettings, "VerifyBackup")) {
    ini.WriteBool(kSettings, "VerifyBackup", c.CBVerifyBackup.Checked());
  }
  ini.WriteInteger(kUserInterface, "IconSet", iconSetIndex_);
}

std::string TSettingsBinding::DaysText() const {
  std::string days;
  const uint8_t mask = controls_.TickedDays();
  for (int day = 1; day <= 7; ++day) {
    if (mask & (1u << day)) days.append(std::to_string(day)).append(",");
  }
  if (!days.empty()) days.pop_back();
  return days;
}

void TSettingsBinding::WriteTimes(TIniFile& ini) {
  TMemTimes& table = data_.MemTimes;
  TControlsDisabled noRedraw(table);
  if (!table.Active()) table.Open();
  table.CheckBrowseMode();
  int32_t n = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    ++n;
    try {
      ini.WriteString(kSettings, TimeKey(n), FormatTime(table.Time().value()));
    } catch (const std::exception& error) {
      app_.ErrorBox(FormatMsg(msg::BadTimeEntry, table.ID().value_or(0)) + "\r\n" + error.what());
      --n;
    }
  }
  ini.WriteInteger(kSettings, "EventCountTimes", n);
}

void TSettingsBinding::SaveLastRun() {
  TFlagGuard busy(settingsFileBusy_);
  TIniFile ini(iniFileName_);
  ini.WriteString(kBackups, "LastRun", FormatDateTime(data_.LastRun));
  // In the same write as LastRun, so the two never disagree on disk. An instant
  // whose backup failed is not kept across a restart: the catch-up from LastRun
  // would make it up then anyway. Until the scheduler has served an instant the
  // file stays as it always was.
  if (data_.LastPlannedRun != BaseDateTime) {
    ini.WriteString(kBackups, kLastPlannedRun, FormatDateTime(data_.LastPlannedRun));
  }
  ini.UpdateFile();
}

std::string TSettingsBinding::SettingsText() {
  // Into an empty file in memory: nothing on disk is touched or created. In
  // the loaded file's encoding, as OK would write into it.
  TIniFile ini = TIniFile::InMemory(iniUtf8_);
  WriteSettings(ini);
  return ini.Bytes();
}

}  // namespace odb
