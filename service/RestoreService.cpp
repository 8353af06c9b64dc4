#include "service/RestoreService.h"

#include "service/ClientText.h"
#include "service/ServiceBlocks.h"
#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"
#include "common/Text.h"

namespace odb {

std::string TRestoreService::BuildStartBlock() {
  if (database_name_.empty()) throw EServiceClientError(std::string(msg::SvcStartParamsMissing));
  BeginAction(isc_action_svc_restore);
  std::string block(1, static_cast<char>(isc_action_svc_restore));
  for (const std::string& file : backup_file_) {
    if (!IsBlankText(file, TBlanks::Controls)) AppendTextItem(block, isc_spb_bkp_file, file, "BackupFile");
  }
  AppendTextItem(block, isc_spb_dbname, database_name_, "DatabaseName");
  AppendInt32Item(block, isc_spb_options, isc_spb_res_create);
  if (Verbose()) block += static_cast<char>(isc_spb_verbose);
  return block;
}

std::string TRestoreService::ConnectionString() const {
  switch (Protocol()) {
    case TProtocol::TCP: return ServerName() + ":" + database_name_;
    case TProtocol::NamedPipe: return "\\\\" + ServerName() + "\\" + database_name_;
    case TProtocol::SPX: return ServerName() + "@" + database_name_;
    case TProtocol::Local: return database_name_;
  }
  return database_name_;
}

void TRestoreService::DropDatabase() {
  CheckInactive();
  if (database_name_.empty()) throw EServiceClientError(std::string(msg::SvcStartParamsMissing));
  const std::string name = ToClientText(ConnectionString());
  // The attach block's items (user name, password) are the database
  // parameter block's too, tag for tag; only the version byte differs.
  const std::string dpb = std::string(1, static_cast<char>(isc_dpb_version1)) +
                          BuildAttachBlock(Params().Lines()).substr(2);
  if (name.size() > 0x7FFF) throw EServiceClientError(std::string(msg::ServiceNameTooLong));
  ISC_STATUS_ARRAY status{};
  isc_db_handle database = 0;
  if (Client().AttachDatabase(status, static_cast<short>(name.size()), name.data(), &database,
                              static_cast<short>(dpb.size()), dpb.data())) {
    RaiseServerError(status);
  }
  if (Client().DropDatabase(status, &database)) {
    // Still attached (another attachment holds the database): let it go.
    ISC_STATUS_ARRAY ignored{};
    if (database) (void)Client().DetachDatabase(ignored, &database);
    RaiseServerError(status);
  }
}

}  // namespace odb
