#include "service/FbClient.h"

#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"
#include "common/Format.h"

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
    return f_.service_attach(status, name_length, name, handle, spb_length, spb);
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
  FbFunctions f_;
};

}  // namespace

IFbClient& FbClient() {
  // A failed load throws out of the initialiser, so the next call tries again.
  static LibraryClient client(ResolveAll(LoadFbLibrary()));
  return client;
}

}  // namespace odb
