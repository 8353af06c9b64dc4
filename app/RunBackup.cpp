// The one operation that makes a backup: job record from the live settings,
// service prepared, generations shifted, backup made, result recorded.
#include "app/RunBackup.h"

#include <exception>

#include "app/AppTexts.h"
#include "app/BackupStatus.h"
#include "app/MessagePump.h"
#include "app/ODBackupDB.h"
#include "app/Settings.h"
#include "backup/BackupSet.h"
#include "backup/BackupTexts.h"
#include "backup/Generations.h"
#include "backup/Mirror.h"
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

// The strip is no reason to stop a backup: when it cannot be drawn it stays
// as it was, and the next minute's refresh tries again.
void CallQuietly(const std::function<void()>& call) noexcept {
  try {
    if (call) call();
  } catch (...) {
  }
}

}  // namespace

TBackupRun::TBackupRun(TApplication& app, TDataODBackup& data, TSettingsBinding& settings, TMemo& output,
                       TTimer& timer, TLogEntry addLogEntry)
    : app_(app),
      data_(data),
      settings_(settings),
      output_(output),
      timer_(timer),
      addLogEntry_(std::move(addLogEntry)) {}

TBackupRun::~TBackupRun() = default;

void TBackupRun::CreateJob() { job_ = std::make_unique<TBackUpDatabaseSetings>(); }

void TBackupRun::FreeJob() { job_.reset(); }


TBackUpDatabaseSetings ConnectionJob(const TSettings& live, const std::string& iniFileName) {
  TBackUpDatabaseSetings job;
  job.ServerName = live.ServerName;
  job.Protocol = live.LocalHost ? TProtocol::Local : TProtocol::TCP;
  job.LoginPrompt = false;
  // Read at each use, so a login stored while the program runs counts at once.
  const TLogin login = ReadLogin(TIniFile(iniFileName));
  job.UserParam = login.UserName ? "user_name=" + *login.UserName : "";
  job.PasswordParam = login.Password ? "password=" + *login.Password : "";
  job.AttachNow = false;
  job.DatabaseName = live.DatabaseName;
  return job;
}

std::string TBackupRun::BackupFolder() const { return settings_.BackupFolder(); }

void TBackupRun::FillBackupSettings() {
  TBackUpDatabaseSetings& settings = *job_;
  settings = ConnectionJob(settings_.Live, settings_.IniFileName());
  settings.Verbose = true;
  settings.Options = TBackupOptions{TBackupOption::NoGarbageCollection};
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

namespace {

TAttemptOutcome OutcomeOf(TFailedStep step) {
  switch (step) {
    case TFailedStep::Backup:
      return TAttemptOutcome::Failed;
    case TFailedStep::Verification:
      return TAttemptOutcome::VerificationFailed;
    case TFailedStep::Copy:
      return TAttemptOutcome::CopyFailed;
  }
  return TAttemptOutcome::Failed;
}

}  // namespace

void TBackupRun::RestoreRecord() {
  if (auto failure = RecordedFailure(settings_.IniFileName())) Watch.Restore(std::move(*failure));
}

void TBackupRun::Failed(std::string error, TFailedStep step) {
  Record(OutcomeOf(step), FirstLine(error));
  Watch.Failed(app_.Now(), std::move(error), step);
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
    ~TAfterRun() { CallQuietly(after); }
  } afterRun{AfterRun};
  TFlagGuard running(running_);
  const TLockRelease release{folderLock_, Watch};
  Watch.BackupStarting();
  progress_ = {};
  ShowProgress(/*atOnce=*/true);
  // The run's folder stays the one it began in, also while a detached backup
  // is watched and the user edits the path.
  folder_ = BackupFolder();
  FillBackupSettings();
  TBackupService& service = data_.BackupService();
  try {
    (void)PrepareBackupService(service, *job_);
    // Before anything is touched: a mistyped count stops the run here.
    count_ = BackupCountFromText(settings_.Live.BackupCount);
  } catch (...) {
    // Told as any failed backup: a setting no run can use must not leave
    // the last good backup's "fresh" standing.
    Failed(CurrentErrorText());
    throw;
  }
  // Before the leftovers: another run's partial file is no leftover.
  if (!LockFolder()) return false;
  RemoveLeftovers();
  if (waitForOutput || settings_.Live.LogToFile) return BackupVerbose(service);
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

std::optional<TBackupProgress> TBackupRun::Progress() const {
  if (running_ || Watch.Watching()) return progress_;
  return std::nullopt;
}

void TBackupRun::ShowProgress(bool atOnce) {
  const TDateTime now = app_.Now();
  if (!atOnce && now.Ms() - progressShownAt_.Ms() < kProgressMs) return;
  progressShownAt_ = now;
  CallQuietly(OnProgress);
}

TProgressOutput TBackupRun::CountedOutput() {
  return TProgressOutput(output_, progress_, [this] { ShowProgress(/*atOnce=*/false); });
}

bool TBackupRun::BackupVerbose(TBackupService& service) {
  progress_.verbose = true;
  TProgressOutput output = CountedOutput();
  try {
    TAppMessagePump pump(app_);
    (void)RunBackupVerbose(service, pump, output);
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
  const bool verify = settings_.Live.VerifyBackup;
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
  settings_.Live.LastRun = done;
  Watch.Succeeded();
  const TAttemptOutcome made = verify ? TAttemptOutcome::Verified : TAttemptOutcome::Made;
  // Until the copy is in place the record says it is not: a run killed while
  // copying must not be told as a whole success after the restart.
  const bool copying = !settings_.MirrorFolder().empty();
  if (copying) {
    Record(TAttemptOutcome::CopyFailed, FormatMsg(msg::MirrorFailed, msg::MirrorUnfinished));
  } else {
    Record(made, "");
  }
  // LastRun first: a copy of gigabytes takes a while, and the backup is made
  // whatever becomes of it. A LastRun that cannot be saved costs no copy.
  std::exception_ptr notSaved;
  try {
    settings_.SaveLastRun();
  } catch (...) {
    notSaved = std::current_exception();
  }
  if (Mirror(newest) && copying) Record(made, "");
  if (notSaved) std::rethrow_exception(notSaved);
  return true;
}

bool TBackupRun::Mirror(const std::string& newest) {
  const std::string mirror = settings_.MirrorFolder();
  if (mirror.empty()) return true;
  try {
    for (const std::string& path : RemoveMirrorLeftovers(mirror)) addLogEntry_(FormatMsg(msg::LeftoverRemoved, path));
    TAppMessagePump pump(app_);
    const TMirrorCopy copy = CopyToMirror(newest, mirror, settings_.Live.MirrorCount,
                                          [this](const std::string& text) { app_.ErrorBox(text); }, &pump);
    addLogEntry_(FormatMsg(msg::MirrorDone, copy.path));
    return true;
  } catch (...) {
    // Told as a failed attempt, but the backup stays made: LastRun is saved.
    const std::string failure = FormatMsg(msg::MirrorFailed, CurrentErrorText());
    addLogEntry_(failure);
    Failed(failure, TFailedStep::Copy);
    return false;
  }
}

bool TBackupRun::Verify(const std::string& partial) {
  const std::string prefix = GenerationPrefix(folder_);
  try {
    RemoveVerifyLeftovers(prefix);
    TAppMessagePump pump(app_);
    TProgressOutput output = CountedOutput();
    VerifyBackupByRestore(data_.RestoreService(), *job_, partial, NewVerifyDatabaseName(prefix, app_.Now()), pump,
                          output);
  } catch (...) {
    // Never a generation: the good backups before it stay as they are.
    const std::string failure = FormatMsg(msg::VerifyFailed, CurrentErrorText());
    addLogEntry_(failure);
    const std::string kept = KeepFailedVerification(folder_);
    addLogEntry_(kept.empty() ? FormatMsg(msg::VerifyFailedRemoved, partial) : FormatMsg(msg::VerifyFailedKept, kept));
    Failed(failure, TFailedStep::Verification);
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
  // A made backup can bring a failure too: its copy into the mirror.
  (void)backup_.PerformBackup(/*waitForOutput=*/false, startedByOk);
  if (!startedByOk) return;
  if (const auto& failure = backup_.Watch.Failure(); failure && failure != before) App.ErrorBox(failure->error);
}

}  // namespace odb
