#pragma once
// The backup job record and the helpers that configure the service component
// from it and run the backup.
#include <string>

#include "backup/RunInterfaces.h"
#include "service/BackupService.h"

namespace odb {

class TBackUpDatabaseSetings {
 public:
  std::string ServerName = "localhost";
  TProtocol Protocol = TProtocol::Local;
  bool LoginPrompt = false;
  std::string UserParam;      // a whole "user_name=..." line; empty sends sysdba
  std::string PasswordParam;  // a whole "password=..." line; empty sends the default
  bool AttachNow = false;
  bool Verbose = false;
  TBackupOptions Options;
  std::string DatabaseName;
  std::string BackupFile;
};

inline constexpr const char* kDefaultUserParam = "user_name=sysdba";
inline constexpr const char* kDefaultPasswordParam = "password=pinewharf";

// The server, protocol and login of the record (detaching the component first).
void ConfigureConnection(TCustomService& service, const TBackUpDatabaseSetings& settings);

// Configures the component from the record (detaching it first). On failure the
// component is detached and the same error goes on to the caller.
[[nodiscard]] bool PrepareBackupService(TBackupService& service, const TBackUpDatabaseSetings& settings);

// ByLine: one round trip a line. ByReply: one round trip for as many lines as
// a reply holds; the lines come in bursts, at a fraction of the round trips.
enum class TOutputReading { ByLine, ByReply };

// Attach, start, and copy every output line into the log view until the output
// ends, letting messages be handled every ten lines (every reply when read by
// reply); the component is detached afterwards, also on failure. Line by line,
// a pump that asks for it gets the lines read on another thread (OutputReader.h).
void RunVerbose(TControlAndQueryService& service, IMessagePump& pump, IBackupOutput& output,
                TOutputReading reading = TOutputReading::ByLine);
// The same for the backup, into a cleared log view.
[[nodiscard]] bool RunBackupVerbose(TBackupService& service, IMessagePump& pump,
                                    IBackupOutput& output);

// Attach and start only; failures are swallowed and give false, their text
// in *error when one is asked for.
[[nodiscard]] bool StartBackupDetached(TBackupService& service, IBackupTimer& timer,
                                       std::string* error = nullptr);

}  // namespace odb
