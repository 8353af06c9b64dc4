#include "backup/service/ControlService.h"

#include "backup/service/ServiceBlocks.h"
#include "backup/service/ServiceErrors.h"
#include "backup/service/ServiceTexts.h"

namespace odb {

void TControlService::ServiceStart() {
  CheckActive();
  const std::string block = BuildStartBlock();
  if (block.size() > 0xFFFF) throw EServiceClientError(std::string(msg::StartBlockTooLong));
  ISC_STATUS_ARRAY status{};
  if (Client().ServiceStart(status, Handle(), static_cast<unsigned short>(block.size()),
                            block.data())) {
    RaiseServerError(status);
  }
}

std::string TControlAndQueryService::ReadOutputLine() {
  if (output_ended_) return {};
  if (Action() == 0) throw EServiceClientError(std::string(msg::SvcQueryParamsMissing));
  CheckActive();
  if (!reply_) reply_ = std::make_unique<char[]>(kBufferSize);
  const char request = isc_info_svc_line;
  ISC_STATUS_ARRAY status{};
  // No send items, hence no time-out: the call waits for a line or the end.
  if (Client().ServiceQuery(status, Handle(), 0, nullptr, 1, &request, kBufferSize,
                            reply_.get())) {
    RaiseServerError(status);
  }
  OutputLine line = ParseOutputLine(Client(), reply_.get(), kBufferSize);
  output_ended_ = line.ended;
  return std::move(line.text);
}

}  // namespace odb
