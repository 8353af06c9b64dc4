#include "service/ControlService.h"

#include <utility>

#include "service/ServiceBlocks.h"
#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"

namespace odb {
namespace {

OutputLine ParseReply(IFbClient& client, const char* reply, int size, char item) {
  return item == isc_info_svc_line ? ParseOutputLine(client, reply, size) : ParseOutputText(client, reply, size);
}

}  // namespace

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
  if (pending_error_) std::rethrow_exception(std::exchange(pending_error_, nullptr));
  if (output_ended_) return {};
  if (Action() == 0) throw EServiceClientError(std::string(msg::SvcQueryParamsMissing));
  CheckActive();
  if (!reply_) reply_ = std::make_unique<char[]>(kBufferSize);
  reply_[0] = isc_info_end;  // an error reply may leave the buffer as the last one was
  ISC_STATUS_ARRAY status{};
  // No send items, hence no time-out: the call waits for output or the end.
  if (Client().ServiceQuery(status, Handle(), 0, nullptr, 1, &item, kBufferSize, reply_.get())) {
    // Measured on Firebird 3: a restore that fails on a damaged backup sends its
    // last lines (the database it created, the table it was at) with the error.
    // They go to the caller first; the error comes at the next read.
    std::string text;
    try {
      if (reply_[0] == item) text = ParseReply(Client(), reply_.get(), kBufferSize, item).text;
    } catch (const EServiceClientError&) {
    }
    if (text.empty()) RaiseServerError(status);
    try {
      RaiseServerError(status);
    } catch (...) {
      pending_error_ = std::current_exception();
    }
    return text;
  }
  OutputLine output = ParseReply(Client(), reply_.get(), kBufferSize, item);
  output_ended_ = output.ended;
  return std::move(output.text);
}

}  // namespace odb
