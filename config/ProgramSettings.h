#pragma once
// The program's settings as plain values, and their one mapping onto the
// configuration file. The settings window edits a TSettings; the scheduler, the
// backup run and the headless commands read it, so none of them needs a window.
#include <cstdint>
#include <string>
#include <vector>

#include "common/DateTime.h"

namespace odb {

class TIniFile;

// The weekly plan: ticked weekdays × times of day.
struct TBackupPlan {
  uint8_t daysMask = 0;          // bit n: ISO weekday n (1 = Monday); bit 0 never set
  std::vector<TDateTime> times;  // times of day, ascending
  bool Empty() const { return (daysMask & 0xFE) == 0 || times.empty(); }
  bool operator==(const TBackupPlan&) const = default;
};

struct TSettings {
  // [OrdavaDB]
  bool LocalHost = true;
  std::string ServerName = "localhost";
  std::string DatabaseName = "Ordava.fdb";
  std::string LogFileName;
  // [Backups]
  std::string BackupPath;
  // Text, as typed: a count that is no number stops the backup, not the load.
  std::string BackupCount = "5";
  // The compressed copies on another disk or share; empty: none.
  std::string MirrorPath;
  std::string MirrorCount = "3";
  TDateTime LastRun = BaseDateTime;
  // The planned instant of the last backup the scheduler began.
  TDateTime LastPlannedRun = BaseDateTime;
  // [Settings]
  bool LogToFile = false;
  bool ClearLog = true;
  bool RunMinimalized = false;
  bool VerifyBackup = false;
  // The name as read, also one that is none of the three; empty until a
  // configuration has been read.
  std::string EventAction;
  TBackupPlan Plan{0xFE, {}};
  // [UserInterface]
  int32_t IconSet = 1;
};

// base: the executable, or the configuration file the headless program was
// given; folder: the configuration's folder, ending in a delimiter. The
// defaults of the paths come from them.
TSettings DefaultSettings(const std::string& base, const std::string& folder);
TSettings ReadSettings(const TIniFile& ini, const TSettings& defaults);
// Every key the program knows, in writing order. EventAction is written as it
// stands: the caller has made it one of the three names.
void WriteSettings(TIniFile& ini, const TSettings& settings);
// LastRun and the served planned instant, in one write so they never disagree.
void WriteLastRun(TIniFile& ini, const TSettings& settings);

}  // namespace odb
