// Asking a detached backup whether it still runs. Measured on Firebird 3: the
// server answers isc_info_svc_running at once (0.2-8 ms on loopback), and once
// the backup has failed the same query returns the backup's error status
// ("cannot open backup file ..."), so one query tells both.
#include "service/ControlService.h"
#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"

namespace odb {
namespace {

// The time-out bounds the call should the server hold the answer for output
// it has not sent yet; the thread must never wait longer than this.
constexpr char kTimeoutSeconds = 1;
constexpr int kReplySize = 16;

}  // namespace

bool TControlAndQueryService::QueryRunning() {
  if (Action() == 0) throw EServiceClientError(std::string(msg::SvcQueryParamsMissing));
  CheckActive();
  const char send[] = {isc_info_svc_timeout, kTimeoutSeconds, 0, 0, 0};
  const char request = isc_info_svc_running;
  char reply[kReplySize] = {};
  ISC_STATUS_ARRAY status{};
  if (Client().ServiceQuery(status, Handle(), sizeof send, send, 1, &request, sizeof reply, reply)) {
    RaiseServerError(status);
  }
  // isc_info_svc_running, a 4-byte flag, isc_info_end.
  if (reply[0] != isc_info_svc_running || reply[5] != isc_info_end) {
    throw EServiceClientError(std::string(msg::SvcUnexpectedOutput));
  }
  return Client().VaxInteger(reply + 1, 4) != 0;
}

}  // namespace odb
