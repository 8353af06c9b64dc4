// The one operation that makes a backup: job record from the live settings,
// service prepared, generations shifted, backup made, result recorded.
#include "app/RunBackup.h"

#include "app/AppTexts.h"
#include "app/MessagePump.h"
#include "app/ODBackupDB.h"
#include "app/Settings.h"
#include "app/SettingsControls.h"
#include "backup/Generations.h"
#include "backup/ODBackupUtils.h"
#include "backup/Verification.h"
#include "common/FileSystem.h"
#include "common/Text.h"
#include "common/FlagGuard.h"
#include "common/Format.h"
#include "config/IniFile.h"
#include "config/Login.h"
#include "platform/Application.h"
#include "schedule/DmODBackup.h"

namespace odb {

TBackupRun::TBackupRun(TApplication& app, TDataODBackup& data, const TSettingsControls& controls,
                       TSettingsBinding& settings, TMemo& output, TTimer& timer, TLogEntry addLogEntry)
    : app_(app),
      data_(data),
      controls_(controls),
      settings_(settings),
      output_(output),
      timer_(timer),
      addLogEntry_(std::move(addLogEntry)) {}

TBackupRun::~TBackupRun() = default;

void TBackupRun::CreateJob() { job_ = std::make_unique<TBackUpDatabaseSetings>(); }

void TBackupRun::FreeJob() { job_.reset(); }

std::string TBackupRun::BackupFolder() const {
  // A blank folder would put the backups, and the rotation, into the root.
  const std::string& text = controls_.EdtBackupPath.Text();
  return IsBlankText(text, TBlanks::SpaceTab) ? settings_.SettingsFolder() : text;
}

std::string TBackupRun::BackupFileName() const {
  return GenerationPrefix(BackupFolder()) + "ODBackup_1.fbk";
}

void TBackupRun::FillBackupSettings() {
  TBackUpDatabaseSetings& settings = *job_;
  settings.ServerName = controls_.EdtServer.Text();
  settings.Protocol = controls_.RBLocal.Checked() ? TProtocol::Local : TProtocol::TCP;
  settings.LoginPrompt = false;
  // Read at each backup, so a login stored while the program runs counts at once.
  const TLogin login = ReadLogin(TIniFile(settings_.IniFileName()));
  settings.UserParam = login.UserName ? "user_name=" + *login.UserName : "";
  settings.PasswordParam = login.Password ? "password=" + *login.Password : "";
  settings.AttachNow = false;
  settings.Verbose = true;
  settings.Options = TBackupOptions{TBackupOption::NoGarbageCollection};
  settings.DatabaseName = controls_.EdtPath.Text();
  settings.BackupFile = BackupFileName();
}

void TBackupRun::Failed(std::string error) { Watch.Failed(app_.Now(), std::move(error)); }

bool TBackupRun::PerformBackup(bool waitForOutput) {
  if (running_ || !job_) return false;
  // Declared before the flag guard, so it runs once the flag is down again,
  // also when an error passes (before its box is shown).
  struct TAfterRun {
    std::function<void()>& after;
    ~TAfterRun() {
      try {
        if (after) after();
      } catch (...) {
        // The strip stays as it was; the next minute's refresh tries again.
      }
    }
  } afterRun{AfterRun};
  TFlagGuard running(running_);
  verificationFailed_ = false;
  Watch.BackupStarting(data_.LastRun);
  FillBackupSettings();
  TBackupService& service = data_.BackupService();
  (void)PrepareBackupService(service, *job_);
  const int count = BackupCountFromText(controls_.sedtBackupCount.Text());
  if (!RotateBackups(BackupFolder(), count, [this](const std::string& text) { app_.ErrorBox(text); })) {
    Failed(std::string(msg::NewestNotMoved));
    return false;
  }
  bool detached = false;
  if (waitForOutput || controls_.CBLogActivity.Checked()) {
    try {
      TAppMessagePump pump(app_);
      (void)RunBackupVerbose(service, pump, output_);
    } catch (...) {
      // The rotation left no ODBackup_1.fbk, so one there now is this backup's
      // unfinished file (a server killed mid-write leaves it). Kept, it would
      // pass for the newest generation and push the oldest good one out. Once
      // the output has ended the file is complete: only the detach failed.
      // (An attach that failed leaves no file, whatever OutputEnded says.)
      if (!service.OutputEnded()) (void)fs::RemoveFile(BackupFileName());
      Failed(CurrentErrorText());
      throw;
    }
  } else if (!StartBackupDetached(service, timer_)) {
    Failed(std::string(msg::DetachedNotStarted));
    return false;
  } else {
    detached = true;
  }
  // One reading of the clock: the log entry and LastRun must name the same second.
  const TDateTime done = app_.Now();
  addLogEntry_(FormatMsg(msg::BackupDone, FormatDateTime(done)));
  data_.LastRun = done;
  detached ? Watch.DetachedStarted() : Watch.Succeeded();
  settings_.SaveLastRun();
  // Nobody reads a detached backup's end, so there is nothing to restore yet.
  verificationFailed_ = !detached && controls_.CBVerifyBackup.Checked() && !Verify();
  return true;
}

bool TBackupRun::Verify() {
  try {
    TAppMessagePump pump(app_);
    VerifyBackupByRestore(data_.RestoreService(), *job_, GenerationPrefix(BackupFolder()) + kVerifyDatabaseName,
                          pump, output_);
  } catch (...) {
    // The backup stays what it is: generation 1, LastRun its time.
    const std::string failure = FormatMsg(msg::VerifyFailed, CurrentErrorText());
    addLogEntry_(failure);
    Watch.Failed(app_.Now(), failure, /*verification=*/true);
    return false;
  }
  addLogEntry_(FormatMsg(msg::BackupVerified, BackupFileName()));
  return true;
}

void TFrmODBackupDB::RunBackup() { (void)backup_.PerformBackup(/*waitForOutput=*/false); }

}  // namespace odb
