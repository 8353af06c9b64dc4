#pragma once
// The settings window on virtual time, with a fake Firebird client and a
// configuration file in a fresh folder: what the window, scheduler and backup
// tests share.
#include <memory>
#include <string>

#include "FakeFbClient.h"
#include "TempDir.h"
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/Cp1250.h"
#include "common/FileSystem.h"
#include "frontends/headless/HeadlessApplication.h"
#include "schedule/DmODBackup.h"

namespace odb::test {

// Tuesday 08.12.2026 08:00:00; Monday is the 7th.
inline const TDateTime kTuesday8 = TDateTime::Encode(2026, 12, 8, 8, 0, 0);

// A client whose output query can run a test's code first, as if the server
// took its time or the user clicked while the output streamed in.
class HookedFbClient : public FakeFbClient {
 public:
  std::function<void()> BeforeQuery;
  std::function<void()> BeforeAttach;
  ISC_STATUS ServiceAttach(ISC_STATUS* status, unsigned short length, const char* name,
                           isc_svc_handle* handle, unsigned short spbLength, const char* spb) override {
    if (BeforeAttach) BeforeAttach();
    return FakeFbClient::ServiceAttach(status, length, name, handle, spbLength, spb);
  }
  ISC_STATUS ServiceQuery(ISC_STATUS* status, isc_svc_handle* handle, unsigned short l1,
                          const char* b1, unsigned short l2, const char* b2, unsigned short l3,
                          char* b3) override {
    if (BeforeQuery) BeforeQuery();
    return FakeFbClient::ServiceQuery(status, handle, l1, b1, l2, b2, l3, b3);
  }
};

class FormFixture {
 public:
  explicit FormFixture(TDateTime start = kTuesday8) : clock(start) {
    app.SetTitle(std::string(msg::AppTitle));
    // The fake server writes its backups only into a folder that exists.
    fs::CreateDirectories(BackupDir());
  }
  ~FormFixture() { Destroy(); }

  TempDir dir;
  HookedFbClient fb;
  TVirtualClock clock;
  THeadlessApplication app{clock};
  std::unique_ptr<TDataODBackup> data;
  std::unique_ptr<TFrmODBackupDB> form;

  std::string ExePath() const { return dir / "odbackup.exe"; }
  std::string IniPath() const { return dir / "odbackup.ini"; }
  std::string LogPath() const { return dir / "odbackup.log"; }
  std::string BackupDir() const { return dir / "zalohy"; }

  // UTF-8 lines joined with CR LF and stored in Windows-1250, as on disk.
  void WriteIni(const std::string& text) const {
    std::string crlf;
    for (char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    fs::WriteFile(IniPath(), Utf8ToCp1250(crlf));
  }
  std::string Ini() const { return Cp1250ToUtf8(fs::ReadFile(IniPath()).value_or("")); }
  std::string Log() const { return Cp1250ToUtf8(fs::ReadFile(LogPath()).value_or("")); }

  // A configuration for backups by plan: every day at 18:00, verbose logging.
  std::string PlanIni(const std::string& lastRun, const std::string& action = "BackupOnTimer",
                      const std::string& logToFile = "A") const {
    return "[OrdavaDB]\nLocalHost=A\nDatabaseName=/data/ordava.fdb\nLogFileName=" + LogPath() +
           "\n[Backups]\nBackupPath=" + BackupDir() + "\nBackupCount=2\nLastRun=" + lastRun +
           "\n[Settings]\nLogToFile=" + logToFile + "\nClearLog=A\nEventAction=" + action +
           "\nDays=1,2,3,4,5,6,7\nEventCountTimes=1\nTime_1=18:00:00\n";
  }

  TFrmODBackupDB& Create() {
    if (!data) data = std::make_unique<TDataODBackup>(fb);
    form = std::make_unique<TFrmODBackupDB>(app, *data, ExePath());
    return *form;
  }
  // Creation, then what the message loop does first: show the window and
  // handle what creation posted.
  TFrmODBackupDB& Start() {
    Create();
    form->Show();
    app.ProcessMessages();
    return *form;
  }
  void Destroy() {
    if (form) form->FormDestroy();
    form.reset();
    data.reset();
  }

  // Output lines the fake server sends for the next verbose backup.
  void ScriptOutput(int lines) {
    for (int i = 1; i <= lines; ++i) fb.replies.push_back(FakeFbClient::Line("gbak: line " + std::to_string(i)));
    fb.replies.push_back(FakeFbClient::Line(""));
  }
};

// Log entries as (stamp time, message) pairs.
inline std::vector<std::pair<std::string, std::string>> LogEntries(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> entries;
  const std::string stampStart = "<Čas zápisu: ";
  size_t at = 0;
  while ((at = text.find(stampStart, at)) != std::string::npos) {
    const size_t stampEnd = text.find(">\r\n", at);
    const size_t lineEnd = text.find("\r\n", stampEnd + 3);
    entries.emplace_back(text.substr(at + stampStart.size(), stampEnd - at - stampStart.size()),
                         text.substr(stampEnd + 3, lineEnd - stampEnd - 3));
    at = lineEnd;
  }
  return entries;
}

}  // namespace odb::test
