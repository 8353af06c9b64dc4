// The bridge and the program agree on the ABI of this build (32- or 64-bit):
// widths, undecorated __stdcall exports, and calls that come back with the
// right values (a wrong calling convention would corrupt the stack on 32-bit).
// Usage: bridge_abi PATH-OF-fbclient.dll ; exit status 0 when all agree.
#include <windows.h>

#include <ibase.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>

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

#if defined(__i386__)
// One call made by hand, so the test sees what the callee does to the stack:
// the arguments pushed below a stack moved down by skew bytes (a Windows
// caller keeps only 4-byte alignment, the Linux library expects 16).
struct HandCall {
  void* entry;
  const std::uint32_t* args;
  int count;
  int skew;
  std::uint32_t result;
  int popped;  // bytes of arguments the callee removed: all of them for stdcall
};

void CallByHand(HandCall* call) {
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "subl 12(%%ebx), %%esp\n\t"
      "movl 8(%%ebx), %%ecx\n\t"
      "movl 4(%%ebx), %%edx\n\t"
      "1: testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "pushl -4(%%edx,%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jmp 1b\n\t"
      "2: movl %%esp, %%edi\n\t"
      "call *(%%ebx)\n\t"
      "movl %%eax, 16(%%ebx)\n\t"
      "movl %%esp, %%eax\n\t"
      "subl %%edi, %%eax\n\t"
      "movl %%eax, 20(%%ebx)\n\t"
      "movl %%esi, %%esp\n\t"
      :
      : "b"(call)
      : "eax", "ecx", "edx", "esi", "edi", "memory", "cc");
}

std::uint32_t Word(const void* p) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p)); }

// Every export is stdcall (the callee pops its arguments) and gives the right
// result whatever the stack's alignment at the call.
void CheckStdcall(void* vax, void* interpret) {
  bool pops = true, right = true;
  for (int skew : {0, 4, 8, 12}) {
    const std::uint32_t vax_args[] = {Word("\x01\x02"), 2};
    HandCall a{vax, vax_args, 2, skew, 0, 0};
    CallByHand(&a);
    pops = pops && a.popped == 8;
    right = right && a.result == 0x0201;

    const char* file = "/nonexistent/skew.fbk";
    const ISC_STATUS status[] = {isc_arg_gds, isc_io_error, isc_arg_string, reinterpret_cast<ISC_STATUS>("open"),
                                 isc_arg_string, reinterpret_cast<ISC_STATUS>(file), isc_arg_end};
    const ISC_STATUS* cursor = status;
    char text[512] = "";
    const std::uint32_t interpret_args[] = {Word(text), sizeof text, Word(&cursor)};
    HandCall b{interpret, interpret_args, 3, skew, 0, 0};
    CallByHand(&b);
    std::printf("stack skew %2d: isc_vax_integer popped %d bytes, fb_interpret popped %d bytes\n", skew, a.popped,
                b.popped);
    pops = pops && b.popped == 12;
    right = right && b.result > 0 && std::strstr(text, file) != nullptr;
  }
  Check(pops, "the exports are stdcall: the callee pops its arguments");
  Check(right, "the results are right at every stack alignment");
}
#endif

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
  // The program resolves these by their undecorated names, as a Windows
  // fbclient.dll exports them (no "_name@bytes" on 32-bit).
  for (const char* name : {"isc_service_attach", "isc_service_detach", "isc_service_start", "isc_service_query",
                           "isc_interprete", "isc_attach_database", "isc_drop_database", "isc_detach_database"}) {
    Check(GetProcAddress(dll, name) != nullptr, name);
  }
  if (failures) return 1;
#if defined(__i386__)
  CheckStdcall(reinterpret_cast<void*>(vax), reinterpret_cast<void*>(interpret));
#endif
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
