#include "service/FbClient.h"

#include "service/ServiceBlocks.h"
#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"
#include "common/Format.h"

#include <mutex>
#include <string_view>

namespace odb {
namespace {

[[noreturn]] void ThrowMissing(const char* name, const std::string& library) {
  throw EServiceClientError(FormatMsg(msg::FbClientFunctionMissing, std::string(name) + " (" + library + ")"));
}

template <typename Fn>
void Resolve(const FbLibrary& library, const char* name, Fn& entry, bool required = true) {
  entry = reinterpret_cast<Fn>(FindFbSymbol(library.handle, name));
  if (!entry && required) ThrowMissing(name, library.name);
}

FbFunctions ResolveAll(const FbLibrary& library) {
  FbFunctions f;
  Resolve(library, "isc_service_attach", f.service_attach);
  Resolve(library, "isc_service_detach", f.service_detach);
  Resolve(library, "isc_service_start", f.service_start);
  Resolve(library, "isc_service_query", f.service_query);
  Resolve(library, "isc_vax_integer", f.vax_integer);
  Resolve(library, "isc_sqlcode", f.sqlcode);
  Resolve(library, "isc_interprete", f.interprete);
  Resolve(library, "fb_interpret", f.interpret_bounded, false);
  Resolve(library, "isc_attach_database", f.attach_database, false);
  Resolve(library, "isc_drop_database", f.drop_database, false);
  Resolve(library, "isc_detach_database", f.detach_database, false);
  f.library = library.name;
  return f;
}

class LibraryClient final : public IFbClient {
 public:
  explicit LibraryClient(const FbFunctions& f) : f_(f) {}

  ISC_STATUS ServiceAttach(ISC_STATUS* status, unsigned short name_length, const char* name,
                           isc_svc_handle* handle, unsigned short spb_length,
                           const char* spb) override {
    const ISC_STATUS result = f_.service_attach(status, name_length, name, handle, spb_length, spb);
    if (result == 0) KeepEngineLoaded(std::string_view(name, name_length), spb_length, spb);
    return result;
  }
  ISC_STATUS ServiceDetach(ISC_STATUS* status, isc_svc_handle* handle) override {
    return f_.service_detach(status, handle);
  }
  ISC_STATUS ServiceStart(ISC_STATUS* status, isc_svc_handle* handle, unsigned short spb_length,
                          const char* spb) override {
    return f_.service_start(status, handle, nullptr, spb_length, spb);
  }
  ISC_STATUS ServiceQuery(ISC_STATUS* status, isc_svc_handle* handle, unsigned short send_length,
                          const char* send_items, unsigned short request_length,
                          const char* request_items, unsigned short buffer_length,
                          char* buffer) override {
    return f_.service_query(status, handle, nullptr, send_length, send_items, request_length,
                            request_items, buffer_length, buffer);
  }
  ISC_STATUS AttachDatabase(ISC_STATUS* status, short name_length, const char* name, isc_db_handle* handle,
                            short dpb_length, const char* dpb) override {
    if (!f_.attach_database) ThrowMissing("isc_attach_database", f_.library);
    return f_.attach_database(status, name_length, name, handle, dpb_length, dpb);
  }
  ISC_STATUS DropDatabase(ISC_STATUS* status, isc_db_handle* handle) override {
    if (!f_.drop_database) ThrowMissing("isc_drop_database", f_.library);
    return f_.drop_database(status, handle);
  }
  ISC_STATUS DetachDatabase(ISC_STATUS* status, isc_db_handle* handle) override {
    if (!f_.detach_database) ThrowMissing("isc_detach_database", f_.library);
    return f_.detach_database(status, handle);
  }
  long VaxInteger(const char* bytes, short length) override {
    return f_.vax_integer(bytes, length);
  }
  long SqlCode(const ISC_STATUS* status) override { return f_.sqlcode(status); }
  long Interpret(char* buffer, unsigned size, const ISC_STATUS** cursor) override {
    if (f_.interpret_bounded) return f_.interpret_bounded(buffer, size, cursor);
    // isc_interprete takes no size; the library's messages stay well below
    // 512 bytes, which is what its callers have always been told to provide.
    if (size < 512) return 0;
    return f_.interprete(buffer, const_cast<ISC_STATUS**>(cursor));
  }

 private:
  // The library unloads an embedded engine a minute after its last use. An
  // attach that meets the unload fails with "connection shutdown", and so does
  // every attach in the minute after it, so a plan's backup could fail on its
  // own timing. One idle local attachment, held until the process ends, keeps
  // the engine loaded; it opens no database.
  void KeepEngineLoaded(std::string_view name, unsigned short spb_length, const char* spb) {
    if (name != ServiceManagerName(TProtocol::Local, {})) return;
    const std::lock_guard<std::mutex> lock(keep_mutex_);
    if (keep_handle_ != 0) return;
    ISC_STATUS_ARRAY ignored{};
    if (f_.service_attach(ignored, static_cast<unsigned short>(name.size()), name.data(),
                          &keep_handle_, spb_length, spb)) {
      keep_handle_ = 0;
    }
  }

  FbFunctions f_;
  std::mutex keep_mutex_;
  isc_svc_handle keep_handle_ = 0;
};

}  // namespace

IFbClient& FbClient() {
  // A failed load throws out of the initialiser, so the next call tries again.
  static LibraryClient client(ResolveAll(LoadFbLibrary()));
  return client;
}

}  // namespace odb
