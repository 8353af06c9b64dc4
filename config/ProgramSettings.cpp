// The configuration file's keys: read into a TSettings, written from one.
#include "config/ProgramSettings.h"

#include <algorithm>
#include <optional>

#include "common/Text.h"
#include "config/IniFile.h"
#include "config/ListParse.h"
#include "config/TimeOfDay.h"

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
constexpr size_t kMaxTimes = 30;

std::string TimeKey(int32_t n) { return "Time_" + std::to_string(n); }

// A blank path would put the file into the current folder or, joined with a
// delimiter, the filesystem root; it reads as the default instead.
std::string ReadPath(const TIniFile& ini, const char* section, const char* key, const std::string& fallback) {
  std::string path = ini.ReadString(section, key, fallback);
  return IsBlankText(path, TBlanks::SpaceTab) ? fallback : path;
}

std::optional<TDateTime> ReadDateTime(const TIniFile& ini, const char* key, TDateTime fallback) {
  return ParseDateTime(ini.ReadString(kBackups, key, FormatDateTime(fallback)));
}

// Only the single digit of a weekday counts ("01" and " 2" do not).
uint8_t ReadDays(const std::string& text) {
  std::vector<std::string> items;
  SplitList(items, text, ',');
  uint8_t mask = 0;
  for (int day = 1; day <= 7; ++day) {
    const std::string digit(1, static_cast<char>('0' + day));
    if (std::find(items.begin(), items.end(), digit) != items.end()) mask |= static_cast<uint8_t>(1u << day);
  }
  return mask;
}

// Null: the count is not a positive number, and the times stay as they were.
std::optional<std::vector<TDateTime>> ReadTimes(const TIniFile& ini) {
  // Only a missing key means one entry; a count that does not convert reads none.
  const int32_t missingCount = ini.ReadString(kSettings, "EventCountTimes", "1") == "1" ? 1 : 0;
  const int32_t count = ini.ReadInteger(kSettings, "EventCountTimes", missingCount);
  if (count <= 0) return std::nullopt;
  std::vector<TDateTime> times;
  for (int32_t i = 1; i <= std::min(count, kMaxTimeKeys) && times.size() < kMaxTimes; ++i) {
    std::string text(Trim(ini.ReadString(kSettings, TimeKey(i), ""), TBlanks::SpaceTab));
    if (text.empty() || !NormalizeTime(text)) continue;
    if (const auto time = TryStrToTime(text)) times.push_back(*time);
  }
  std::stable_sort(times.begin(), times.end());
  return times;
}

std::string DaysText(uint8_t mask) {
  std::string days;
  for (int day = 1; day <= 7; ++day) {
    if (mask & (1u << day)) days.append(std::to_string(day)).append(",");
  }
  if (!days.empty()) days.pop_back();
  return days;
}

}  // namespace

TSettings DefaultSettings(const std::string& base, const std::string& folder) {
  TSettings settings;
  settings.LogFileName = ChangeExtension(base, ".log");
  settings.BackupPath = folder;
  return settings;
}

TSettings ReadSettings(const TIniFile& ini, const TSettings& defaults) {
  TSettings s = defaults;
  s.LocalHost = ini.ReadBool(kOrdavaDB, "LocalHost", "Y");
  s.ServerName = ini.ReadString(kOrdavaDB, "ServerName", "localhost");
  s.DatabaseName = ini.ReadString(kOrdavaDB, "DatabaseName", "Ordava.fdb");
  s.LogFileName = ReadPath(ini, kOrdavaDB, "LogFileName", defaults.LogFileName);
  s.BackupPath = ReadPath(ini, kBackups, "BackupPath", defaults.BackupPath);
  s.BackupCount = ini.ReadString(kBackups, "BackupCount", "5");
  s.MirrorPath = ini.ReadString(kBackups, "MirrorPath", "");
  s.MirrorCount = ini.ReadString(kBackups, "MirrorCount", "3");
  s.LastRun = ReadDateTime(ini, "LastRun", BaseDateTime).value_or(BaseDateTime);
  s.LastPlannedRun = ParseDateTime(ini.ReadString(kBackups, kLastPlannedRun, "")).value_or(BaseDateTime);
  s.LogToFile = ini.ReadBool(kSettings, "LogToFile", "N");
  s.ClearLog = ini.ReadBool(kSettings, "ClearLog", "A");
  s.RunMinimalized = ini.ReadBool(kSettings, "RunMinimalized", "N");
  s.VerifyBackup = ini.ReadBool(kSettings, "VerifyBackup", "N");
  s.EventAction = ini.ReadString(kSettings, "EventAction", "OnceBackup");
  s.Plan.daysMask = ReadDays(ini.ReadString(kSettings, "Days", "1,2,3,4,5,6,7"));
  if (auto times = ReadTimes(ini)) s.Plan.times = std::move(*times);
  s.IconSet = ini.ReadInteger(kUserInterface, "IconSet", 1);
  return s;
}

void WriteSettings(TIniFile& ini, const TSettings& s) {
  ini.WriteBool(kOrdavaDB, "LocalHost", s.LocalHost);
  ini.WriteString(kOrdavaDB, "ServerName", s.ServerName);
  ini.WriteString(kOrdavaDB, "DatabaseName", s.DatabaseName);
  ini.WriteString(kOrdavaDB, "LogFileName", s.LogFileName);
  ini.WriteString(kBackups, "BackupPath", s.BackupPath);
  ini.WriteString(kBackups, "BackupCount", s.BackupCount);
  ini.WriteString(kBackups, "LastRun", FormatDateTime(s.LastRun));
  // As VerifyBackup: written once there is a mirror, so a file without one stays as it was.
  if (!s.MirrorPath.empty() || ini.ValueExists(kBackups, "MirrorPath")) {
    ini.WriteString(kBackups, "MirrorPath", s.MirrorPath);
    ini.WriteString(kBackups, "MirrorCount", s.MirrorCount);
  }
  ini.WriteBool(kSettings, "LogToFile", s.LogToFile);
  ini.WriteBool(kSettings, "ClearLog", s.ClearLog);
  ini.WriteBool(kSettings, "RunMinimalized", s.RunMinimalized);
  ini.WriteString(kSettings, "EventAction", s.EventAction);
  ini.WriteString(kSettings, "Days", DaysText(s.Plan.daysMask));
  int32_t n = 0;
  for (const TDateTime time : s.Plan.times) ini.WriteString(kSettings, TimeKey(++n), FormatTime(time));
  ini.WriteInteger(kSettings, "EventCountTimes", n);
  // Written once it has been on: until then the file stays as it always was.
  if (s.VerifyBackup || ini.ValueExists(kSettings, "VerifyBackup")) {
    ini.WriteBool(kSettings, "VerifyBackup", s.VerifyBackup);
  }
  ini.WriteInteger(kUserInterface, "IconSet", s.IconSet);
}

void WriteLastRun(TIniFile& ini, const TSettings& s) {
  ini.WriteString(kBackups, "LastRun", FormatDateTime(s.LastRun));
  // An instant whose backup failed is not kept across a restart: the catch-up
  // from LastRun would make it up then anyway. Until the scheduler has served
  // an instant the file stays as it always was.
  if (s.LastPlannedRun != BaseDateTime) ini.WriteString(kBackups, kLastPlannedRun, FormatDateTime(s.LastPlannedRun));
}

}  // namespace odb
