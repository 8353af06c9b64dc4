// The one operation that makes a backup: job record from the live settings,
// service prepared, generations shifted, backup made, result recorded.
#include "app/AppTexts.h"
#include "app/MessagePump.h"
#include "app/ODBackupDB.h"
#include "backup/Generations.h"
#include "backup/ODBackupUtils.h"
#include "common/FileSystem.h"
#include "common/FlagGuard.h"
#include "common/Format.h"
#include "config/IniFile.h"
#include "config/Login.h"
#include "schedule/DmODBackup.h"

namespace odb {

std::string TFrmODBackupDB::BackupFileName() const {
  return GenerationPrefix(EdtBackupPath.Text()) + "ODBackup_1.fbk";
}

void TFrmODBackupDB::FillBackupSettings() {
  TBackUpDatabaseSetings& settings = *BackupSettings;
  settings.ServerName = EdtServer.Text();
  settings.Protocol = RBLocal.Checked() ? TProtocol::Local : TProtocol::TCP;
  settings.LoginPrompt = false;
  // Read at each backup, so a login stored while the program runs counts at once.
  const TLogin login = ReadLogin(TIniFile(IniFileName));
  settings.UserParam = login.UserName ? "user_name=" + *login.UserName : "";
  settings.PasswordParam = login.Password ? "password=" + *login.Password : "";
  settings.AttachNow = false;
  settings.Verbose = true;
  settings.Options = TBackupOptions{TBackupOption::NoGarbageCollection};
  settings.DatabaseName = EdtPath.Text();
  settings.BackupFile = BackupFileName();
}

void TFrmODBackupDB::RunBackup() { (void)PerformBackup(/*waitForOutput=*/false); }

bool TFrmODBackupDB::PerformBackup(bool waitForOutput) {
  // One backup at a time: a tick or an OK arriving through a message box of
  // the preparation or the rotation must not start another.
  if (BackupInProgress || !BackupSettings) return false;
  TFlagGuard inProgress(BackupInProgress);
  FillBackupSettings();
  TBackupService& service = Data.BackupService();
  (void)PrepareBackupService(service, *BackupSettings);
  const int count = BackupCountFromText(sedtBackupCount.Text());
  if (!RotateBackups(EdtBackupPath.Text(), count, [this](const std::string& text) { App.ErrorBox(text); })) {
    return false;
  }
  TFlagGuard running(BackupRunning);
  if (waitForOutput || CBLogActivity.Checked()) {
    try {
      TAppMessagePump pump(App);
      (void)RunBackupVerbose(service, pump, MemoFiles);
    } catch (...) {
      // The rotation left no ODBackup_1.fbk, so one there now is this backup's
      // unfinished file (a server killed mid-write leaves it). Kept, it would
      // pass for the newest generation and push the oldest good one out.
      (void)fs::RemoveFile(BackupFileName());
      throw;
    }
  } else if (!StartBackupDetached(service, TimerTS)) {
    return false;
  }
  AddLogEntry(FormatMsg(msg::BackupDone, FormatDateTime(App.Now())));
  Data.LastRun = App.Now();
  SaveLastRun();
  return true;
}

}  // namespace odb
