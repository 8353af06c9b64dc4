// The configuration file: read once into the controls at start, written back
// by OK, and LastRun after each backup.
#include <filesystem>

#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/Cp1250.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/FlagGuard.h"
#include "common/Format.h"
#include "common/Text.h"
#include "config/IniFile.h"
#include "config/ListParse.h"
#include "config/TimeOfDay.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

constexpr const char* kOrdavaDB = "OrdavaDB";
constexpr const char* kBackups = "Backups";
constexpr const char* kSettings = "Settings";
constexpr const char* kUserInterface = "UserInterface";
// The plan holds at most 30 times; a hand-edited count far beyond that must not
// make the start read the file millions of times.
constexpr int32_t kMaxTimeKeys = 1000;
// Row numbers of the times table run from 1 to 30; later entries are ignored.
constexpr int kMaxTimes = 30;

size_t FileNameStart(const std::string& path) {
  const auto cut = path.find_last_of("\\/");
  return cut == std::string::npos ? 0 : cut + 1;
}

// The path with the file name's extension replaced (or appended).
std::string ChangeExtension(const std::string& path, const char* extension) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || dot < FileNameStart(path)) return path + extension;
  return path.substr(0, dot) + extension;
}

std::string TimeKey(int32_t n) { return "Time_" + std::to_string(n); }

}  // namespace

bool TFrmODBackupDB::LoadSettings(const std::string& exePath) {
  // The headless program may name its configuration; its folder and name then
  // stand in for the executable's in the defaults.
  const std::string base = ConfigFile.empty() ? exePath : ConfigFile;
  IniFileName = ConfigFile.empty() ? ChangeExtension(exePath, ".ini") : ConfigFile;
  TFlagGuard busy(SettingsFileBusy);
  const TIniFile ini(IniFileName);
  RBLocal.SetChecked(ini.ReadBool(kOrdavaDB, "LocalHost", "Y"));
  RBHost.SetChecked(!RBLocal.Checked());
  EdtServer.SetText(ini.ReadString(kOrdavaDB, "ServerName", "localhost"));
  EdtPath.SetText(ini.ReadString(kOrdavaDB, "DatabaseName", "Ordava.fdb"));
  EdtLogFilePath.SetText(ini.ReadString(kOrdavaDB, "LogFileName", ChangeExtension(base, ".log")));
  EdtBackupPath.SetText(ini.ReadString(kBackups, "BackupPath", base.substr(0, FileNameStart(base))));
  sedtBackupCount.SetText(ini.ReadString(kBackups, "BackupCount", "5"));
  Data.LastRun = ParseDateTime(ini.ReadString(kBackups, "LastRun", "01.01.1990 00:00:00"))
                     .value_or(BaseDateTime);
  CBLogActivity.SetChecked(ini.ReadBool(kSettings, "LogToFile", "N"));
  CB_ClearLog.SetChecked(ini.ReadBool(kSettings, "ClearLog", "A"));
  if (PrepareLogAtStart) PrepareLogFile();
  CB_RunMinimalized.SetChecked(ini.ReadBool(kSettings, "RunMinimalized", "N"));
  EventAction = ini.ReadString(kSettings, "EventAction", kOnceBackup);
  cbAction.SetItemIndex(NameToAction(EventAction));
  LoadDays(ini.ReadString(kSettings, "Days", "1,2,3,4,5,6,7"));
  LoadTimes(ini);
  IconSetIndex = ini.ReadInteger(kUserInterface, "IconSet", 1);
  return true;
}

void TFrmODBackupDB::LoadDays(const std::string& text) {
  std::vector<std::string> items;
  SplitList(items, text, ',');
  for (int day = 1; day <= 7; ++day) {
    const std::string digit(1, static_cast<char>('0' + day));
    for (const auto& item : items) {
      if (item == digit) {
        CheckWeekday(day);
        break;
      }
    }
  }
}

void TFrmODBackupDB::LoadTimes(const TIniFile& ini) {
  TMemTimes& table = Data.MemTimes;
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

bool TFrmODBackupDB::SaveSettings(const std::string&) {
  TFlagGuard busy(SettingsFileBusy);
  TIniFile ini(IniFileName);
  WriteSettings(ini);
  return true;
}

void TFrmODBackupDB::WriteSettings(TIniFile& ini) {
  ini.WriteBool(kOrdavaDB, "LocalHost", RBLocal.Checked());
  ini.WriteString(kOrdavaDB, "ServerName", EdtServer.Text());
  ini.WriteString(kOrdavaDB, "DatabaseName", EdtPath.Text());
  ini.WriteString(kOrdavaDB, "LogFileName", EdtLogFilePath.Text());
  ini.WriteString(kBackups, "BackupPath", EdtBackupPath.Text());
  ini.WriteString(kBackups, "BackupCount", sedtBackupCount.Text());
  ini.WriteString(kBackups, "LastRun", FormatDateTime(Data.LastRun));
  ini.WriteBool(kSettings, "LogToFile", CBLogActivity.Checked());
  ini.WriteBool(kSettings, "ClearLog", CB_ClearLog.Checked());
  ini.WriteBool(kSettings, "RunMinimalized", CB_RunMinimalized.Checked());
  EventAction = ActionToName(cbAction.ItemIndex());
  ini.WriteString(kSettings, "EventAction", EventAction);
  ini.WriteString(kSettings, "Days", DaysText());
  WriteTimes(ini);
  ini.WriteInteger(kUserInterface, "IconSet", IconSetIndex);
}

std::string TFrmODBackupDB::DaysText() const {
  std::string days;
  const uint8_t mask = DaysMask();
  for (int day = 1; day <= 7; ++day) {
    if (mask & (1u << day)) days.append(std::to_string(day)).append(",");
  }
  if (!days.empty()) days.pop_back();
  return days;
}

void TFrmODBackupDB::WriteTimes(TIniFile& ini) {
  TMemTimes& table = Data.MemTimes;
  TControlsDisabled noRedraw(table);
  if (!table.Active()) table.Open();
  table.CheckBrowseMode();
  int32_t n = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    ++n;
    try {
      ini.WriteString(kSettings, TimeKey(n), FormatTime(table.Time().value()));
    } catch (const std::exception& error) {
      App.ErrorBox(FormatMsg(msg::BadTimeEntry, table.ID().value_or(0)) + "\r\n" + error.what());
      --n;
    }
  }
  ini.WriteInteger(kSettings, "EventCountTimes", n);
}

void TFrmODBackupDB::SaveLastRun() {
  TFlagGuard busy(SettingsFileBusy);
  TIniFile ini(IniFileName);
  ini.WriteString(kBackups, "LastRun", FormatDateTime(Data.LastRun));
}

std::string TFrmODBackupDB::SettingsText() {
  // Written into a scratch file exactly as OK would write it, then read back.
  namespace stdfs = std::filesystem;
  const stdfs::path scratch =
      stdfs::temp_directory_path() / ("odbackup-settings-" + std::to_string(App.Now().Ms()) + ".ini");
  const std::string saved = IniFileName;
  IniFileName = scratch.string();
  struct Restore {
    TFrmODBackupDB& form;
    const std::string& name;
    const stdfs::path& scratch;
    ~Restore() {
      form.IniFileName = name;
      std::error_code ignored;
      stdfs::remove(scratch, ignored);
    }
  } restore{*this, saved, scratch};
  (void)SaveSettings(ExePath);
  return Cp1250ToUtf8(fs::ReadFile(IniFileName).value_or(""));
}

}  // namespace odb
