// The one operation that makes a backup: job record from the live settings,
// service prepared, generations shifted, backup made, result recorded.
#include "app/RunBackup.h"

#include "app/AppTexts.h"
#include "app/MessagePump.h"
#include "app/ODBackupDB.h"
#include "app/Settings.h"
#include "app/SettingsControls.h"
#include "backup/BackupSet.h"
#include "backup/BackupTexts.h"
#include "backup/Generations.h"
#include "backup/ODBackupUtils.h"
#include "backup/Verification.h"
#include "common/Errors.h"
#include "common/FileLock.h"
#include "common/FileSystem.h"
#include "common/Text.h"
#include "common/FlagGuard.h"
#include "common/Format.h"
#include "config/IniFile.h"
#include "config/Login.h"
#include "platform/Application.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

// Lets the backup folder go at the end of a run, unless a detached backup
// is still being watched.
struct TLockRelease {
  std::unique_ptr<TFileLock>& lock;
  const TBackupWatch& watch;
  ~TLockRelease() {
    if (!watch.Watching()) lock.reset();
  }
};

}  // namespace

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
  // The server writes the new backup beside the generations; it becomes
  // ODBackup_1.fbk only once it is known to be complete.
  settings.BackupFile = PartialName();
}

std::string TBackupRun::PartialName() const { return PartialBackupName(GenerationPrefix(folder_)); }

void TBackupRun::Record(TAttemptOutcome outcome, const std::string& error) noexcept {
  try {
    SaveAttemptRecord(AttemptRecordPath(settings_.IniFileName()), {app_.Now(), outcome, error});
  } catch (...) {
    // A folder that cannot take the record cannot take LastRun either, and
    // saving that tells the user.
  }
}

void TBackupRun::RestoreRecord() {
  const std::optional<TAttemptRecord> record = LoadAttemptRecord(AttemptRecordPath(settings_.IniFileName()));
  if (record && record->Failed()) {
    Watch.Restore({record->at, record->error, record->outcome == TAttemptOutcome::VerificationFailed});
  }
}

void TBackupRun::Failed(std::string error, bool verification) {
  Record(verification ? TAttemptOutcome::VerificationFailed : TAttemptOutcome::Failed, FirstLine(error));
  Watch.Failed(app_.Now(), std::move(error), verification);
}

bool TBackupRun::LockFolder() {
  // A detached backup still watched holds it; the new run lets that one go.
  folderLock_.reset();
  folderLock_ = std::make_unique<TFileLock>(GenerationPrefix(folder_) + "ODBackup.lock");
  // A folder that takes no lock file takes no backup either; the server says why.
  if (folderLock_->WaitFor(lockWaitMs_) != TFileLock::TState::Busy) return true;
  folderLock_.reset();
  Failed(FormatMsg(msg::FolderBusy, folder_));
  return false;
}

void TBackupRun::RemoveLeftovers() {
  try {
    for (const std::string& path : odb::RemoveLeftovers(folder_)) {
      addLogEntry_(FormatMsg(msg::LeftoverRemoved, path));
    }
  } catch (...) {
    Failed(CurrentErrorText());
    throw;
  }
}

bool TBackupRun::PerformBackup(bool waitForOutput, bool startedByUser) {
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
  const TLockRelease release{folderLock_, Watch};
  Watch.BackupStarting();
  // The run's folder stays the one it began in, also while a detached backup
  // is watched and the user edits the path.
  folder_ = BackupFolder();
  FillBackupSettings();
  TBackupService& service = data_.BackupService();
  (void)PrepareBackupService(service, *job_);
  // Before anything is touched: a mistyped count stops the run here.
  count_ = BackupCountFromText(controls_.sedtBackupCount.Text());
  // Before the leftovers: another run's partial file is no leftover.
  if (!LockFolder()) return false;
  RemoveLeftovers();
  if (waitForOutput || controls_.CBLogActivity.Checked()) return BackupVerbose(service);
  std::string error;
  if (!StartBackupDetached(service, timer_, &error)) {
    (void)fs::RemoveFile(PartialName());
    // The reason too: "cannot start" alone leaves the user guessing.
    Failed(std::string(msg::DetachedNotStarted) + (error.empty() ? "" : ": " + error));
    return false;
  }
  startedByUser_ = startedByUser;
  Watch.DetachedStarted();
  return true;
}

bool TBackupRun::BackupVerbose(TBackupService& service) {
  try {
    TAppMessagePump pump(app_);
    (void)RunBackupVerbose(service, pump, output_);
  } catch (...) {
    // Once the output has ended the file is complete and only the detach
    // failed. The leftovers are gone, so a file there is this run's; a failed
    // attach leaves none, whatever OutputEnded still says of the run before.
    if (!service.OutputEnded() || !fs::IsPlainFile(PartialName())) {
      (void)fs::RemoveFile(PartialName());
      Failed(CurrentErrorText());
      throw;
    }
  }
  return Complete();
}

bool TBackupRun::Complete() {
  const std::string partial = PartialName();
  if (!fs::IsPlainFile(partial)) {
    const std::string error = FormatMsg(msg::BackupFileMissing, partial);
    Failed(error);
    throw Exception(error);
  }
  const bool verify = controls_.CBVerifyBackup.Checked();
  if (verify && !Verify(partial)) return false;
  try {
    PlaceNewBackup(folder_, count_, [this](const std::string& text) { app_.ErrorBox(text); });
  } catch (const EBackupSetError& error) {
    Failed(error.what());
    return false;
  }
  const std::string newest = GenerationPrefix(folder_) + "ODBackup_1.fbk";
  if (!fs::MakePrivate(newest)) addLogEntry_(FormatMsg(msg::NotPrivate, newest));
  // One reading of the clock: the log entry and LastRun must name the same second.
  const TDateTime done = app_.Now();
  addLogEntry_(FormatMsg(msg::BackupDone, FormatDateTime(done)));
  if (verify) addLogEntry_(FormatMsg(msg::BackupVerified, newest));
  data_.LastRun = done;
  Watch.Succeeded();
  Record(verify ? TAttemptOutcome::Verified : TAttemptOutcome::Made, "");
  settings_.SaveLastRun();
  return true;
}

bool TBackupRun::Verify(const std::string& partial) {
  const std::string prefix = GenerationPrefix(folder_);
  try {
    RemoveVerifyLeftovers(prefix);
    TAppMessagePump pump(app_);
    VerifyBackupByRestore(data_.RestoreService(), *job_, partial, NewVerifyDatabaseName(prefix, app_.Now()), pump,
                          output_);
  } catch (...) {
    // Never a generation: the good backups before it stay as they are.
    const std::string failure = FormatMsg(msg::VerifyFailed, CurrentErrorText());
    addLogEntry_(failure);
    const std::string kept = KeepFailedVerification(folder_);
    addLogEntry_(kept.empty() ? FormatMsg(msg::VerifyFailedRemoved, partial) : FormatMsg(msg::VerifyFailedKept, kept));
    Failed(failure, /*verification=*/true);
    return false;
  }
  return true;
}

std::optional<TFailedAttempt> TBackupRun::WatchDetached() {
  if (running_ || !job_ || !Watch.Watching()) return std::nullopt;
  TFlagGuard running(running_);
  const std::optional<TFailedAttempt> before = Watch.Failure();
  const TDetachedLook look = Watch.Poll(data_.BackupService(), app_.Now());
  if (look == TDetachedLook::Running) return std::nullopt;
  const TLockRelease release{folderLock_, Watch};
  switch (look) {
    case TDetachedLook::Running:
      return std::nullopt;
    case TDetachedLook::Ended:
      try {
        (void)Complete();
      } catch (...) {
        if (Watch.Failure() == before) Failed(CurrentErrorText());
      }
      break;
    case TDetachedLook::Failed:
      (void)fs::RemoveFile(PartialName());
      Record(TAttemptOutcome::Failed, FirstLine(Watch.Failure()->error));
      break;
    case TDetachedLook::Unknown:
      // The server may still be writing; the next run removes what it leaves.
      Failed(std::string(msg::DetachedEndUnknown));
      break;
  }
  return Watch.Failure() == before ? std::nullopt : Watch.Failure();
}

void TFrmODBackupDB::RunBackup(bool startedByOk) {
  const std::optional<TFailedAttempt> before = backup_.Watch.Failure();
  if (backup_.PerformBackup(/*waitForOutput=*/false, startedByOk) || !startedByOk) return;
  if (const auto& failure = backup_.Watch.Failure(); failure && failure != before) App.ErrorBox(failure->error);
}

}  // namespace odb
