// fbclient.dll for the Windows tests: a Firebird client whose service calls
// play a script. The program loads it from beside odbackup_tests.exe exactly
// as it loads the real library, so a test crosses the real DLL boundary.
//
// The folder named by ODB_FBCLIENT_DIR (else the DLL's own) holds
// fbclient-script.txt, read anew at every attach: one output line per line,
// served by isc_service_query and followed by the empty line that ends the
// output; a line "FAIL <text>" makes the query reaching it fail with <text>.
// Attach and start succeed and write the blocks they received there
// (fbclient-attach.spb, fbclient-start.spb); a backup's start writes the file
// its block names, as a server would. Without a script the attach
// fails, so a build folder whose odbackup.exe picks this library up never
// pretends to have backed up.
#include <windows.h>

#include <ibase.h>

#include <cstring>
#include <deque>
#include <fstream>
#include <string>
#include <utility>

namespace {

constexpr ISC_STATUS kFailCode = 335544344;  // isc_io_error: any code serves

std::deque<std::string> script;
bool noScript = false;
std::string failText;  // the text of the failure last reported

std::string Folder() {
  char buffer[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("ODB_FBCLIENT_DIR", buffer, sizeof buffer);
  if (n > 0 && n < sizeof buffer) return std::string(buffer, n) + "\\";
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&Folder), &self);
  n = GetModuleFileNameA(self, buffer, sizeof buffer);
  std::string path(buffer, n);
  return path.substr(0, path.find_last_of("\\/") + 1);
}

void LoadScript() {
  script.clear();
  std::ifstream in(Folder() + "fbclient-script.txt", std::ios::binary);
  noScript = !in;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    script.push_back(line);
  }
}

void Record(const char* name, const char* block, unsigned short length) {
  std::ofstream(Folder() + name, std::ios::binary).write(block, length);
}

// The status vector then holds one message, which fb_interpret hands out.
ISC_STATUS Fail(ISC_STATUS* status, std::string text) {
  failText = std::move(text);
  status[0] = isc_arg_gds;
  status[1] = kFailCode;
  status[2] = isc_arg_end;
  return status[1];
}

// The start block's items: text items have a 2-byte length, isc_spb_options
// a 4-byte value, isc_spb_verbose none. Names are in the ANSI code page.
void WriteBackupFile(const char* spb, unsigned short length) {
  for (unsigned i = 1; i + 2 < length;) {
    const auto tag = static_cast<unsigned char>(spb[i]);
    if (tag == isc_spb_options) { i += 5; continue; }
    if (tag == isc_spb_verbose) { i += 1; continue; }
    const unsigned n = static_cast<unsigned char>(spb[i + 1]) | static_cast<unsigned char>(spb[i + 2]) << 8;
    if (tag == isc_spb_bkp_file) {
      std::ofstream(std::string(spb + i + 3, n), std::ios::binary) << "double's backup";
      return;
    }
    i += 3 + n;
  }
}

}  // namespace

extern "C" {

__declspec(dllexport) ISC_STATUS isc_service_attach(ISC_STATUS* status, unsigned short,
                                                    const ISC_SCHAR*, isc_svc_handle* handle,
                                                    unsigned short length, const ISC_SCHAR* spb) {
  LoadScript();
  if (noScript) return Fail(status, "fbclient.dll test double: no fbclient-script.txt");
  Record("fbclient-attach.spb", spb, length);
  *handle = (isc_svc_handle)1;  // an integer on 64-bit, a pointer on 32-bit
  return 0;
}

__declspec(dllexport) ISC_STATUS isc_service_detach(ISC_STATUS*, isc_svc_handle* handle) {
  *handle = 0;
  return 0;
}

__declspec(dllexport) ISC_STATUS isc_service_start(ISC_STATUS*, isc_svc_handle*,
                                                   isc_resv_handle*, unsigned short length,
                                                   const ISC_SCHAR* spb) {
  Record("fbclient-start.spb", spb, length);
  if (length > 0 && spb[0] == isc_action_svc_backup) WriteBackupFile(spb, length);
  return 0;
}

__declspec(dllexport) ISC_STATUS isc_service_query(ISC_STATUS* status, isc_svc_handle*,
                                                   isc_resv_handle*, unsigned short,
                                                   const ISC_SCHAR*, unsigned short,
                                                   const ISC_SCHAR*, unsigned short length,
                                                   ISC_SCHAR* buffer) {
  std::string line;
  if (!script.empty()) {
    line = script.front();
    script.pop_front();
  }
  if (line.rfind("FAIL ", 0) == 0) return Fail(status, line.substr(5));
  const std::string reply = std::string{isc_info_svc_line, static_cast<char>(line.size() & 0xFF),
                                        static_cast<char>(line.size() >> 8)} +
                            line + static_cast<char>(isc_info_end);
  std::memcpy(buffer, reply.data(), reply.size() < length ? reply.size() : length);
  return 0;
}

__declspec(dllexport) ISC_LONG isc_vax_integer(const ISC_SCHAR* bytes, short length) {
  ISC_LONG value = 0;
  for (short i = length - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

__declspec(dllexport) ISC_LONG isc_sqlcode(const ISC_STATUS*) { return -902; }

__declspec(dllexport) ISC_LONG fb_interpret(ISC_SCHAR* buffer, unsigned int size,
                                            const ISC_STATUS** cursor) {
  if ((*cursor)[0] != isc_arg_gds || size == 0) return 0;
  const size_t n = failText.size() < size ? failText.size() : size - 1;
  std::memcpy(buffer, failText.data(), n);
  buffer[n] = '\0';
  *cursor += 2;
  return static_cast<ISC_LONG>(n);
}

__declspec(dllexport) ISC_LONG isc_interprete(ISC_SCHAR* buffer, ISC_STATUS** cursor) {
  return fb_interpret(buffer, 512, const_cast<const ISC_STATUS**>(cursor));
}

}  // extern "C"
