#include <dlfcn.h>
#include <langinfo.h>

#include <clocale>
#include <cstring>

#include "service/FbClient.h"
#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"
#include "common/Format.h"

namespace odb {

namespace {
constexpr const char* kLibraryName = "libfbclient.so.2";

// The client library converts file names in service requests from the
// process's character set, which is ASCII until a locale is set (and stays
// ASCII under cron, where LANG is unset, even after setlocale(LC_ALL, "")).
// Our paths are UTF-8, so the character set is made UTF-8, whatever the
// environment says. Measured on Firebird 3.0: with this, Czech database and
// backup paths work embedded and over TCP; isc_spb_utf8_filename in the
// attach block helps over TCP only, the embedded engine still converts.
void UseUtf8FileNames() {
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
  for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
    if (std::setlocale(LC_CTYPE, name)) return;
  }
}

}  // namespace

FbLibrary LoadFbLibrary() {
  UseUtf8FileNames();
  void* handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw EServiceClientError(FormatMsg(msg::FbClientNotFound, kLibraryName));
  return {handle, kLibraryName};
}

void* FindFbSymbol(void* handle, const char* name) { return dlsym(handle, name); }

}  // namespace odb
