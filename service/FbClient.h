#pragma once
// The Firebird client library, loaded at run time once per process. The
// component talks to it only through IFbClient, so tests can put a fake in.
#include <ibase.h>

#include <string>

namespace odb {

class IFbClient {
 public:
  virtual ~IFbClient() = default;
  virtual ISC_STATUS ServiceAttach(ISC_STATUS* status, unsigned short name_length,
                                   const char* name, isc_svc_handle* handle,
                                   unsigned short spb_length, const char* spb) = 0;
  virtual ISC_STATUS ServiceDetach(ISC_STATUS* status, isc_svc_handle* handle) = 0;
  virtual ISC_STATUS ServiceStart(ISC_STATUS* status, isc_svc_handle* handle,
                                  unsigned short spb_length, const char* spb) = 0;
  virtual ISC_STATUS ServiceQuery(ISC_STATUS* status, isc_svc_handle* handle,
                                  unsigned short send_length, const char* send_items,
                                  unsigned short request_length, const char* request_items,
                                  unsigned short buffer_length, char* buffer) = 0;
  // The database calls a verification needs to remove the database its test
  // restore made. A library without them raises EServiceClientError here.
  virtual ISC_STATUS AttachDatabase(ISC_STATUS* status, short name_length, const char* name,
                                    isc_db_handle* handle, short dpb_length, const char* dpb) = 0;
  virtual ISC_STATUS DropDatabase(ISC_STATUS* status, isc_db_handle* handle) = 0;
  virtual ISC_STATUS DetachDatabase(ISC_STATUS* status, isc_db_handle* handle) = 0;
  virtual long VaxInteger(const char* bytes, short length) = 0;
  virtual long SqlCode(const ISC_STATUS* status) = 0;
  // Writes the next message of the status vector into buffer (at most size
  // bytes, zero-terminated) and advances the cursor; 0 when none is left.
  virtual long Interpret(char* buffer, unsigned size, const ISC_STATUS** cursor) = 0;
};

// Entry points taken from the library, typed by their declarations in ibase.h.
struct FbFunctions {
  decltype(&isc_service_attach) service_attach = nullptr;
  decltype(&isc_service_detach) service_detach = nullptr;
  decltype(&isc_service_start) service_start = nullptr;
  decltype(&isc_service_query) service_query = nullptr;
  decltype(&isc_vax_integer) vax_integer = nullptr;
  decltype(&isc_sqlcode) sqlcode = nullptr;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  // The unbounded fallback, for libraries without fb_interpret.
  decltype(&isc_interprete) interprete = nullptr;
#pragma GCC diagnostic pop
  decltype(&fb_interpret) interpret_bounded = nullptr;  // optional
  // Optional: a backup needs none of them.
  decltype(&isc_attach_database) attach_database = nullptr;
  decltype(&isc_drop_database) drop_database = nullptr;
  decltype(&isc_detach_database) detach_database = nullptr;
  std::string library;  // the file they come from, for the error of a missing one
};

// The production table: the library loaded on the first call, kept until the
// process ends. Raises EServiceClientError when it cannot be loaded.
IFbClient& FbClient();

// Platform halves (FbClientLoad_posix.cpp / _win.cpp).
struct FbLibrary {
  void* handle = nullptr;
  std::string name;  // the file that was loaded
};
FbLibrary LoadFbLibrary();  // raises EServiceClientError naming what was tried
void* FindFbSymbol(void* handle, const char* name);

}  // namespace odb
