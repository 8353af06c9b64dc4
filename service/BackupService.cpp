#include "service/BackupService.h"

#include "service/ServiceBlocks.h"
#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"
#include "common/Text.h"

namespace odb {

std::string TBackupService::BuildStartBlock() {
  if (database_name_.empty()) throw EServiceClientError(std::string(msg::SvcStartParamsMissing));
  BeginAction(isc_action_svc_backup);
  std::string block(1, static_cast<char>(isc_action_svc_backup));
  AppendTextItem(block, isc_spb_dbname, database_name_, "DatabaseName");
  AppendInt32Item(block, isc_spb_options, options_.Byte());
  if (Verbose()) block += static_cast<char>(isc_spb_verbose);
  for (const std::string& file : backup_file_) {
    if (!IsBlankText(file, TBlanks::Controls)) AppendTextItem(block, isc_spb_bkp_file, file, "BackupFile");
  }
  return block;
}

}  // namespace odb
