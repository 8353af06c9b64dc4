#include "backup/ODBackupUtils.h"

#include "backup/OutputReader.h"
#include "common/Text.h"


namespace odb {

void ConfigureConnection(TCustomService& service, const TBackUpDatabaseSetings& settings) {
  if (service.Active()) service.Detach();
  service.Params().Clear();
  service.SetServerName(settings.ServerName);
  if (IsBlankText(service.ServerName(), TBlanks::SpaceTabLineBreak)) service.SetServerName("localhost");
  service.SetProtocol(settings.Protocol);
  service.SetLoginPrompt(settings.LoginPrompt);
  service.Params().Add(settings.UserParam.empty() ? kDefaultUserParam : settings.UserParam);
  service.Params().Add(settings.PasswordParam.empty() ? kDefaultPasswordParam : settings.PasswordParam);
}

namespace {

void Configure(TBackupService& service, const TBackUpDatabaseSetings& settings) {
  service.BackupFile().clear();
  ConfigureConnection(service, settings);
  service.SetDatabaseName(settings.DatabaseName);
  service.BackupFile().push_back(settings.BackupFile);
  service.SetVerbose(settings.Verbose);
  service.SetOptions(settings.Options);
  if (settings.AttachNow) service.Attach();
}

// Sets Active to false when it is set, swallowing a second failure so that the
// first error is the one the caller sees.
void DetachQuietly(TCustomService& service) noexcept {
  try {
    service.SetActive(false);
  } catch (...) {
  }
}

}  // namespace

bool PrepareBackupService(TBackupService& service, const TBackUpDatabaseSetings& settings) {
  try {
    Configure(service, settings);
  } catch (...) {
    DetachQuietly(service);
    throw;
  }
  return true;
}

namespace {

void ReadLines(TControlAndQueryService& service, IMessagePump& pump, IBackupOutput& output) {
  for (long counter = 1; !service.OutputEnded(); ++counter) {
    output.AddLine(service.ReadOutputLine());
    if (counter % 10 == 0) {
      output.Repaint();
      pump.ProcessMessages();
    }
  }
}

// Each reply holds many lines, the last maybe in part: it is kept until its
// line break comes.
void ReadText(TControlAndQueryService& service, IMessagePump& pump, IBackupOutput& output) {
  std::string pending;
  while (!service.OutputEnded()) {
    pending += service.ReadOutputText();
    size_t start = 0;
    for (size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
      output.AddLine(pending.substr(start, end - start));
    }
    pending.erase(0, start);
    output.Repaint();
    pump.ProcessMessages();
  }
  if (!pending.empty()) output.AddLine(pending);
}

}  // namespace

void RunVerbose(TControlAndQueryService& service, IMessagePump& pump, IBackupOutput& output,
                TOutputReading reading) {
  try {
    if (!service.Active()) service.Attach();
    service.ServiceStart();
    if (reading == TOutputReading::ByReply) {
      ReadText(service, pump, output);
    } else if (pump.ReadsOutputOnAThread()) {
      ReadLinesOnAThread(service, pump, output);
    } else {
      ReadLines(service, pump, output);
    }
  } catch (...) {
    DetachQuietly(service);
    throw;
  }
  service.SetActive(false);
}

bool RunBackupVerbose(TBackupService& service, IMessagePump& pump, IBackupOutput& output) {
  output.Clear();
  RunVerbose(service, pump, output);
  return true;
}

bool StartBackupDetached(TBackupService& service, IBackupTimer& timer, std::string* error) {
  try {
    // Nobody reads the output of a detached backup, and the server holds a
    // verbose backup until its output is read, so none is requested.
    service.SetVerbose(false);
    service.SetActive(true);
    service.ServiceStart();
    if (!timer.Enabled()) {
      timer.SetInterval(1000);
      timer.SetEnabled(true);
    }
    return true;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    DetachQuietly(service);
    return false;
  } catch (...) {
    DetachQuietly(service);
    return false;
  }
}

}  // namespace odb
