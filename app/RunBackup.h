#pragma once
// The backup run: the one operation that makes a backup, from the live
// settings, for the window's tick and OK and for the headless --once.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/BackupProgress.h"
#include "app/BackupWatch.h"
#include "config/AttemptRecord.h"

namespace odb {

class TApplication;
class TBackupService;
class TBackUpDatabaseSetings;
class TDataODBackup;
class TFileLock;
class TMemo;
class TSettingsBinding;
struct TSettings;
class TTimer;

// The server, protocol, login (read from the configuration now) and database of the settings.
TBackUpDatabaseSetings ConnectionJob(const TSettings& live, const std::string& iniFileName);

class TBackupRun {
 public:
  using TLogEntry = std::function<void(const std::string& message)>;
  // output takes the server's lines in verbose mode; timer is the one a
  // detached start hands to the component; addLogEntry records the result.
  // data: the service components; settings: the live settings the run reads
  // and the LastRun it saves.
  TBackupRun(TApplication& app, TDataODBackup& data, TSettingsBinding& settings, TMemo& output, TTimer& timer,
             TLogEntry addLogEntry);
  ~TBackupRun();

  // The job record exists between these two; without it no backup starts.
  void CreateJob();
  void FreeJob();
  const TBackUpDatabaseSetings* BackupSettings() const { return job_.get(); }

  // True when the backup was made and, with verification on, proven by a
  // test restore (its copy into the mirror may still have failed: then the
  // watch holds that failure); detached, when it was started. waitForOutput reads the
  // output to its end whatever the log box says. startedByUser: OK started
  // it, so a failure that a later look at a detached backup finds is shown.
  [[nodiscard]] bool PerformBackup(bool waitForOutput, bool startedByUser = false);
  // Raised over the whole run, preparation and rotation included: a tick or an
  // OK arriving through one of their message boxes must not start another.
  bool BackupRunning() const { return running_; }
  // One look at a detached backup; once it has ended well it takes its place
  // among the generations. The failure, when this look found one.
  std::optional<TFailedAttempt> WatchDetached();
  bool DetachedStartedByUser() const { return startedByUser_; }
  // The backup folder text, or the configuration's folder when it is blank.
  std::string BackupFolder() const;
  // The outcome recorded by an earlier run of the program, into the watch.
  void RestoreRecord();
  // How long a run waits for another program's run on the same backup
  // folder to end; without waiting it fails at once.
  void SetFolderLockWait(int waitMs) { lockWaitMs_ = waitMs; }

  // How the runs went: the last good backup and the last failed attempt.
  TBackupWatch Watch;
  // Called at the end of every run, however it ends (the status strip).
  std::function<void()> AfterRun;
  // Called when a run begins and, while its output comes, at most every
  // kProgressMs (the status strip and the tray tip).
  std::function<void()> OnProgress;
  static constexpr int64_t kProgressMs = 500;
  // How far the run has come; nothing outside a run. A detached backup runs
  // until a look at it has seen its end.
  std::optional<TBackupProgress> Progress() const;

 private:
  void FillBackupSettings();
  std::string PartialName() const;
  // The backup folder for this run alone: two programs (or configurations)
  // on one folder would rename each other's files. False when it is taken.
  [[nodiscard]] bool LockFolder();
  void RemoveLeftovers();
  [[nodiscard]] bool BackupVerbose(TBackupService& service);
  // The complete new backup: verified when asked, then put in place and recorded.
  [[nodiscard]] bool Complete();
  // The test restore of the new backup; false (logged, kept in the watch, the
  // file set aside) when it failed.
  [[nodiscard]] bool Verify(const std::string& partial);
  // The compressed copy of the new backup into the mirror, when one is set;
  // a failure is told, but never costs the backup. True when there is none or it is in place.
  bool Mirror(const std::string& newest);
  void Failed(std::string error, TFailedStep step = TFailedStep::Backup);
  // At once, or only when kProgressMs have passed since the last time.
  void ShowProgress(bool atOnce);
  // The output on its way to the log view, counted for the progress.
  TProgressOutput CountedOutput();
  void Record(TAttemptOutcome outcome, const std::string& error) noexcept;

  TApplication& app_;
  TDataODBackup& data_;
  TSettingsBinding& settings_;
  TMemo& output_;
  TTimer& timer_;
  TLogEntry addLogEntry_;
  std::unique_ptr<TBackUpDatabaseSetings> job_;
  // Held from the start of a run until its backup has taken its place or
  // failed; for a detached backup, until a look at it has seen its end.
  std::unique_ptr<TFileLock> folderLock_;
  int lockWaitMs_ = 0;
  std::string folder_;
  int count_ = 0;
  bool running_ = false;
  bool startedByUser_ = false;
  TBackupProgress progress_;
  TDateTime progressShownAt_;
};

}  // namespace odb
