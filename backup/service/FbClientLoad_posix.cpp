#include <dlfcn.h>

#include "backup/service/FbClient.h"
#include "backup/service/ServiceErrors.h"
#include "backup/service/ServiceTexts.h"
#include "common/Format.h"

namespace odb {

namespace {
constexpr const char* kLibraryName = "libfbclient.so.2";
}

FbLibrary LoadFbLibrary() {
  void* handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw EServiceClientError(FormatMsg(msg::FbClientNotFound, kLibraryName));
  return {handle, kLibraryName};
}

void* FindFbSymbol(void* handle, const char* name) { return dlsym(handle, name); }

}  // namespace odb
