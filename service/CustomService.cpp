#include "service/CustomService.h"

#include "service/ClientText.h"
#include "service/ServiceBlocks.h"
#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"

namespace odb {
namespace {

[[noreturn]] void ThrowServerError(IFbClient& client, const ISC_STATUS* status) {
  const long sql_code = client.SqlCode(status);
  const long error_code = static_cast<long>(status[1]);
  std::string text = StatusText(client, status);
  if (sql_code == -551) throw EServerRoleError(text, sql_code, error_code);
  throw EServerError(text, sql_code, error_code);
}

}  // namespace

TCustomService::TCustomService(IFbClient& client)
    : client_(client), params_([this] {
        CheckInactive();
        rebuild_attach_block_ = true;
      }) {}

TCustomService::~TCustomService() {
  if (!Active()) return;
  try {
    Detach();
  } catch (...) {
    // Nobody is left to tell; the handle is gone either way.
  }
}

void TCustomService::SetServerName(const std::string& value) {
  if (value == server_name_) return;
  CheckInactive();
  server_name_ = value;
  if (protocol_ == TProtocol::Local && !value.empty()) protocol_ = TProtocol::TCP;
  if (protocol_ != TProtocol::Local && value.empty()) protocol_ = TProtocol::Local;
}

void TCustomService::SetProtocol(TProtocol value) {
  if (value == protocol_) return;
  CheckInactive();
  protocol_ = value;
  if (value == TProtocol::Local) server_name_.clear();
}

void TCustomService::SetActive(bool value) {
  if (value == Active()) return;
  if (value) {
    Attach();
  } else {
    Detach();
  }
}

void TCustomService::Attach() {
  CheckInactive();
  if (server_name_.empty() && protocol_ != TProtocol::Local) {
    throw EServiceClientError(std::string(msg::SvcServerNameMissing));
  }
  if (rebuild_attach_block_) {
    attach_block_ = BuildAttachBlock(params_.Lines());
    rebuild_attach_block_ = false;
  }
  const std::string name = ToClientText(ServiceManagerName(protocol_, server_name_));
  // Both lengths travel as 16 bits.
  if (name.size() > 0xFFFF) throw EServiceClientError(std::string(msg::ServiceNameTooLong));
  if (attach_block_.size() > 0xFFFF) {
    throw EServiceClientError(std::string(msg::AttachBlockTooLong));
  }
  ISC_STATUS_ARRAY status{};
  isc_svc_handle handle = 0;
  if (client_.ServiceAttach(status, static_cast<unsigned short>(name.size()), name.data(), &handle,
                            static_cast<unsigned short>(attach_block_.size()),
                            attach_block_.data())) {
    RaiseServerError(status);
  }
  handle_ = handle;
}

void TCustomService::Detach() {
  CheckActive();
  ISC_STATUS_ARRAY status{};
  // A failed detach is not tried again: the library has given the handle up.
  if (client_.ServiceDetach(status, &handle_)) {
    handle_ = 0;
    ThrowServerError(client_, status);
  }
  handle_ = 0;
}

void TCustomService::CheckActive() const {
  if (!Active()) throw EServiceClientError(std::string(msg::SvcNotAttached));
}

void TCustomService::CheckInactive() const {
  if (Active()) throw EServiceClientError(std::string(msg::SvcAttached));
}

void TCustomService::DetachQuietly() noexcept {
  if (handle_ == 0) return;
  ISC_STATUS_ARRAY ignored{};
  (void)client_.ServiceDetach(ignored, &handle_);
  handle_ = 0;
}

void TCustomService::RaiseServerError(const ISC_STATUS* status) {
  // The error is read before the detach, whose own status is dropped.
  try {
    ThrowServerError(client_, status);
  } catch (...) {
    DetachQuietly();
    throw;
  }
}

std::string StatusText(IFbClient& client, const ISC_STATUS* status) {
  std::string text;
  char buffer[1024];
  const ISC_STATUS* cursor = status;
  // A status vector holds fewer messages than it has elements.
  for (int i = 0; i < ISC_STATUS_LENGTH && client.Interpret(buffer, sizeof buffer, &cursor) > 0;
       ++i) {
    buffer[sizeof buffer - 1] = '\0';
    if (!text.empty() && text.back() != '\n') text += "\r\n";
    text += FromClientText(buffer);
  }
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

}  // namespace odb
