// The bridge and the program agree on the ABI of this build (32- or 64-bit):
// widths, undecorated __stdcall exports, and calls that come back with the
// right values (a wrong calling convention would corrupt the stack on 32-bit).
// Usage: bridge_abi PATH-OF-fbclient.dll ; exit status 0 when all agree.
#include <windows.h>

#include <ibase.h>

#include <cstdio>
#include <cstring>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  if (!ok) ++failures;
}

template <typename Fn>
Fn Entry(HMODULE dll, const char* name) {
  auto entry = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
  Check(entry != nullptr, name);
  return entry;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HMODULE dll = LoadLibraryW(argv[1]);
  if (!dll) {
    std::printf("FAIL cannot load the bridge (error %lu)\n", GetLastError());
    return 1;
  }
  auto sizes = Entry<int (*)()>(dll, "bridge_abi_sizes");
  const int ours = static_cast<int>(sizeof(ISC_STATUS) * 100 + sizeof(isc_svc_handle) * 10 + sizeof(ISC_LONG));
  std::printf("widths ISC_STATUS/handle/ISC_LONG: program %d, bridge %d\n", ours, sizes ? sizes() : -1);
  Check(sizes && sizes() == ours, "the widths agree");
  Check(sizeof(ISC_STATUS) == sizeof(void*), "ISC_STATUS is pointer-wide");

  auto vax = Entry<decltype(&isc_vax_integer)>(dll, "isc_vax_integer");
  auto sqlcode = Entry<decltype(&isc_sqlcode)>(dll, "isc_sqlcode");
  auto interpret = Entry<decltype(&fb_interpret)>(dll, "fb_interpret");
  if (failures) return 1;
  // Several calls in a row: a callee that popped the wrong number of bytes
  // would have broken the caller's frame by the end of the loop.
  long sum = 0;
  for (int i = 0; i < 1000; ++i) sum += vax("\x01\x02", 2);
  Check(sum == 1000L * 0x0201, "isc_vax_integer reads little-endian, 1000 calls");
  Check(vax("\xFF\xFF\xFF\xFF", 4) == -1, "isc_vax_integer of 4 bytes is signed");
  // isc_io_error with a string argument, as a failed backup reports it.
  const char* file = "/nonexistent/x.fbk";
  const ISC_STATUS status[] = {isc_arg_gds, isc_io_error, isc_arg_string, reinterpret_cast<ISC_STATUS>("open"),
                               isc_arg_string, reinterpret_cast<ISC_STATUS>(file), isc_arg_end};
  Check(sqlcode(status) == -902, "isc_sqlcode of isc_io_error is -902");
  char text[512] = "";
  const ISC_STATUS* cursor = status;
  const ISC_LONG n = interpret(text, sizeof text, &cursor);
  std::printf("fb_interpret: %ld \"%s\"\n", static_cast<long>(n), text);
  Check(n > 0 && std::strstr(text, file) != nullptr, "fb_interpret names the file");
  Check(cursor > status, "fb_interpret advances the cursor");
  return failures ? 1 : 0;
}
