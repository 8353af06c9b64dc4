#include "service/ControlService.h"

#include "service/ServiceBlocks.h"
#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"

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

std::string TControlAndQueryService::ReadOutputLine() { return ReadOutput(isc_info_svc_line); }

std::string TControlAndQueryService::ReadOutputText() { return ReadOutput(isc_info_svc_to_eof); }

std::string TControlAndQueryService::ReadOutput(char item) {
  if (output_ended_) return {};
  if (Action() == 0) throw EServiceClientError(std::string(msg::SvcQueryParamsMissing));
  CheckActive();
  if (!reply_) reply_ = std::make_unique<char[]>(kBufferSize);
  ISC_STATUS_ARRAY status{};
  // No send items, hence no time-out: the call waits for output or the end.
  if (Client().ServiceQuery(status, Handle(), 0, nullptr, 1, &item, kBufferSize, reply_.get())) {
    RaiseServerError(status);
  }
  OutputLine output = item == isc_info_svc_line ? ParseOutputLine(Client(), reply_.get(), kBufferSize)
                                                : ParseOutputText(Client(), reply_.get(), kBufferSize);
  output_ended_ = output.ended;
  return std::move(output.text);
}

}  // namespace odb
