#pragma once
// The service manager connection: settings, attach, detach, error reporting.
#include "service/FbClient.h"
#include "service/ServiceParams.h"
#include "service/ServiceTypes.h"

#include <string>

namespace odb {

class TCustomService {
 public:
  // The first component of the process loads the client library.
  TCustomService() : TCustomService(FbClient()) {}
  explicit TCustomService(IFbClient& client);
  virtual ~TCustomService();
  TCustomService(const TCustomService&) = delete;
  TCustomService& operator=(const TCustomService&) = delete;

  const std::string& ServerName() const { return server_name_; }
  void SetServerName(const std::string& value);
  TProtocol Protocol() const { return protocol_; }
  void SetProtocol(TProtocol value);
  TServiceParams& Params() { return params_; }
  const TServiceParams& Params() const { return params_; }
  // No login dialog exists: the attach always uses Params as they stand.
  bool LoginPrompt() const { return login_prompt_; }
  void SetLoginPrompt(bool value) { login_prompt_ = value; }

  bool Active() const { return handle_ != 0; }
  void SetActive(bool value);
  void Attach();
  void Detach();

 protected:
  IFbClient& Client() { return client_; }
  isc_svc_handle* Handle() { return &handle_; }
  void CheckActive() const;
  void CheckInactive() const;
  void DetachQuietly() noexcept;
  // After a failed call: detach the handle quietly, so that the connection
  // does not outlive the error, forget it, and raise the server's error text.
  [[noreturn]] void RaiseServerError(const ISC_STATUS* status);

 private:
  IFbClient& client_;
  isc_svc_handle handle_ = 0;
  std::string server_name_;
  TProtocol protocol_ = TProtocol::Local;
  TServiceParams params_;
  bool login_prompt_ = true;
  std::string attach_block_;
  bool rebuild_attach_block_ = true;
};

// The text of a failed call's status vector, as the error-text steps build it.
std::string StatusText(IFbClient& client, const ISC_STATUS* status);

}  // namespace odb
