#pragma once
// The backup run: the one operation that makes a backup, from the live
// settings, for the window's tick and OK and for the headless --once.
#include <functional>
#include <memory>
#include <string>

#include "app/BackupWatch.h"

namespace odb {

class TApplication;
class TBackUpDatabaseSetings;
class TDataODBackup;
class TMemo;
class TSettingsBinding;
class TSettingsControls;
class TTimer;

class TBackupRun {
 public:
  using TLogEntry = std::function<void(const std::string& message)>;
  // output takes the server's lines in verbose mode; timer is the one a
  // detached start hands to the component; addLogEntry records the result.
  TBackupRun(TApplication& app, TDataODBackup& data, const TSettingsControls& controls,
             TSettingsBinding& settings, TMemo& output, TTimer& timer, TLogEntry addLogEntry);
  ~TBackupRun();

  // The job record exists between these two; without it no backup starts.
  void CreateJob();
  void FreeJob();
  const TBackUpDatabaseSetings* BackupSettings() const { return job_.get(); }

  // True when the backup was made (or, detached, started). waitForOutput reads
  // the output to its end whatever the log box says.
  [[nodiscard]] bool PerformBackup(bool waitForOutput);
  // Raised over the whole run, preparation and rotation included: a tick or an
  // OK arriving through one of their message boxes must not start another.
  bool BackupRunning() const { return running_; }
  // Whether the last backup made was verified by a test restore and failed it.
  bool VerificationFailed() const { return verificationFailed_; }
  std::string BackupFileName() const;
  // The backup folder text, or the configuration's folder when it is blank.
  std::string BackupFolder() const;

  // How the runs went: the last good backup and the last failed attempt.
  TBackupWatch Watch;
  // Called at the end of every run, however it ends (the status strip).
  std::function<void()> AfterRun;

 private:
  void FillBackupSettings();
  void Failed(std::string error);
  // The test restore of the backup just made; false (logged and kept in the
  // watch) when it failed.
  bool Verify();

  TApplication& app_;
  TDataODBackup& data_;
  const TSettingsControls& controls_;
  TSettingsBinding& settings_;
  TMemo& output_;
  TTimer& timer_;
  TLogEntry addLogEntry_;
  std::unique_ptr<TBackUpDatabaseSetings> job_;
  bool running_ = false;
  bool verificationFailed_ = false;
};

}  // namespace odb
