/* Test infrastructure, not part of the product: fbclient.dll for Wine, so
 * that the Windows program makes real backups through the Linux Firebird
 * client (libfbclient.so.2) against a real server in the test command.
 *
 * A winelib DLL (winegcc): every export is a WINAPI function that forwards
 * to the Linux library through a dlopen()ed pointer of the Linux calling
 * convention. It behaves as a Windows client whose server shares this file
 * system:
 *  - service names without a host ("service_mgr", the local protocol) go to
 *    the installed server as "localhost:service_mgr", as the local protocol
 *    does on Windows, instead of the Linux library's embedded engine inside
 *    the Wine process;
 *  - text arrives in the ANSI code page and reaches the library as UTF-8;
 *    the database and backup file names of a backup's or a restore's start
 *    block, and of a database attach, that are Wine drive paths (Z:\x\y)
 *    become the Unix paths they stand for; a database name without a host
 *    goes to the installed server too;
 *  - output (by line or by reply) and error texts go back in the ANSI code
 *    page. A Czech letter that a reply cuts in two is lost: tests only.
 * ibase.h is not included: _WIN32 is defined in a winelib build and its
 * declarations would take the Windows calling convention. */
#include <dlfcn.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

/* The Linux library's calling convention. Wine's windef.h defines "cdecl"
 * as a macro, hence the reserved spelling. On i386 WINAPI (stdcall) also
 * realigns the stack, which a Windows caller keeps at only 4 bytes. */
#if defined(__x86_64__)
#define LINUX_ABI __attribute__((sysv_abi))
typedef unsigned int fb_handle;
#else
#define LINUX_ABI __attribute__((__cdecl__))
typedef void* fb_handle;
#endif

/* Both sides agree on these widths (checked here and by the Windows test):
 * ISC_STATUS is intptr_t, handles are 4 bytes, ISC_LONG is 32 bits (a
 * Windows long, a Linux int on 64-bit). */
typedef intptr_t isc_status;
typedef int32_t isc_long;
_Static_assert(sizeof(fb_handle) == 4, "Firebird handles are 4 bytes");

enum {
  kSpbVersion = 2,
  kSpbUserName = 28,
  kSpbPassword = 29,
  kActionBackup = 1,
  kActionRestore = 2,
  kDpbVersion1 = 1,
  kSpbBkpFile = 5,
  kSpbBkpLength = 6,
  kSpbBkpFactor = 7,
  kSpbDbName = 106,
  kSpbOptions = 108,
  kSpbVerbose = 107,
  kInfoSvcLine = 62,
  kInfoSvcToEof = 63,
  kInfoEnd = 1,
  kInfoTruncated = 2,
};

static struct {
  isc_status(LINUX_ABI* attach)(isc_status*, unsigned short, const char*, fb_handle*,
                                unsigned short, const char*);
  isc_status(LINUX_ABI* detach)(isc_status*, fb_handle*);
  isc_status(LINUX_ABI* start)(isc_status*, fb_handle*, isc_long*, unsigned short, const char*);
  isc_status(LINUX_ABI* query)(isc_status*, fb_handle*, isc_long*, unsigned short, const char*,
                               unsigned short, const char*, unsigned short, char*);
  isc_long(LINUX_ABI* vax_integer)(const char*, short);
  isc_long(LINUX_ABI* sqlcode)(const isc_status*);
  isc_status(LINUX_ABI* interprete)(char*, isc_status**);
  isc_long(LINUX_ABI* interpret)(char*, unsigned int, const isc_status**);
  isc_status(LINUX_ABI* attach_database)(isc_status*, short, const char*, fb_handle*, short, const char*);
  isc_status(LINUX_ABI* drop_database)(isc_status*, fb_handle*);
  isc_status(LINUX_ABI* detach_database)(isc_status*, fb_handle*);
} fb;

static BOOL LoadLinuxClient(void) {
  void* lib = dlopen("libfbclient.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!lib) return FALSE;
  *(void**)&fb.attach = dlsym(lib, "isc_service_attach");
  *(void**)&fb.detach = dlsym(lib, "isc_service_detach");
  *(void**)&fb.start = dlsym(lib, "isc_service_start");
  *(void**)&fb.query = dlsym(lib, "isc_service_query");
  *(void**)&fb.vax_integer = dlsym(lib, "isc_vax_integer");
  *(void**)&fb.sqlcode = dlsym(lib, "isc_sqlcode");
  *(void**)&fb.interprete = dlsym(lib, "isc_interprete");
  *(void**)&fb.interpret = dlsym(lib, "fb_interpret");
  *(void**)&fb.attach_database = dlsym(lib, "isc_attach_database");
  *(void**)&fb.drop_database = dlsym(lib, "isc_drop_database");
  *(void**)&fb.detach_database = dlsym(lib, "isc_detach_database");
  return fb.attach_database && fb.drop_database && fb.detach_database && fb.attach && fb.detach && fb.start && fb.query && fb.vax_integer && fb.sqlcode &&
         fb.interprete && fb.interpret;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  /* Without the Linux library the load fails, as a missing client does. */
  if (reason == DLL_PROCESS_ATTACH) return LoadLinuxClient();
  return TRUE;
}

/* Text conversion. Each returns a malloc()ed, zero-terminated buffer and its
 * length in *out_length. */

static WCHAR* Widen(UINT page, const char* text, int length, int* out_length) {
  int n = length ? MultiByteToWideChar(page, 0, text, length, NULL, 0) : 0;
  WCHAR* wide = malloc(sizeof(WCHAR) * (size_t)(n + 1));
  if (n) MultiByteToWideChar(page, 0, text, length, wide, n);
  wide[n] = 0;
  *out_length = n;
  return wide;
}

static char* Narrow(UINT page, const WCHAR* wide, int length, int* out_length) {
  if (length < 0) length = lstrlenW(wide);
  int n = length ? WideCharToMultiByte(page, 0, wide, length, NULL, 0, NULL, NULL) : 0;
  char* text = malloc((size_t)n + 1);
  if (n) WideCharToMultiByte(page, 0, wide, length, text, n, NULL, NULL);
  text[n] = 0;
  *out_length = n;
  return text;
}

static char* Recode(UINT from, UINT to, const char* text, int length, int* out_length) {
  int wide_length;
  WCHAR* wide = Widen(from, text, length, &wide_length);
  char* out = Narrow(to, wide, wide_length, out_length);
  free(wide);
  return out;
}

static BOOL IsDrivePath(const WCHAR* path) {
  return ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
         path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

static char* Dup(const char* text, int* out_length) {
  *out_length = (int)strlen(text);
  char* copy = malloc((size_t)*out_length + 1);
  memcpy(copy, text, (size_t)*out_length + 1);
  return copy;
}

/* Wine finds the Unix name of a drive path whose folder exists. For one
 * whose folder is missing (a test's missing database) the drive's root is
 * mapped and the rest joined with "/", so the server still names the path. */
static char* UnixPath(const WCHAR* path, int* out_length) {
  char* unix_name = wine_get_unix_file_name(path);
  if (!unix_name) {
    const WCHAR root[] = {path[0], ':', '\\', 0};
    unix_name = wine_get_unix_file_name(root);
    if (!unix_name) return Narrow(CP_UTF8, path, -1, out_length);
    int rest_length;
    char* rest = Narrow(CP_UTF8, path + 3, -1, &rest_length);
    for (char* c = rest; *c; ++c) if (*c == '\\') *c = '/';
    char* joined = malloc(strlen(unix_name) + (size_t)rest_length + 2);
    strcpy(joined, unix_name);
    if (joined[0] == 0 || joined[strlen(joined) - 1] != '/') strcat(joined, "/");
    strcat(joined, rest);
    free(rest);
    HeapFree(GetProcessHeap(), 0, unix_name);
    *out_length = (int)strlen(joined);
    return joined;
  }
  char* copy = Dup(unix_name, out_length);
  HeapFree(GetProcessHeap(), 0, unix_name);
  return copy;
}

static char* PathItem(const char* ansi, int length, int* out_length) {
  int wide_length;
  WCHAR* wide = Widen(CP_ACP, ansi, length, &wide_length);
  char* out = IsDrivePath(wide) ? UnixPath(wide, out_length)
                                : Narrow(CP_UTF8, wide, wide_length, out_length);
  free(wide);
  return out;
}

static void Put16(char* at, int value) {
  at[0] = (char)(value & 0xFF);
  at[1] = (char)((value >> 8) & 0xFF);
}

static int Get16(const char* at) {
  return (unsigned char)at[0] | ((unsigned char)at[1] << 8);
}

/* The backup or restore start block with its file names rewritten. Anything
 * the bridge does not know is passed on as it stands. */
static char* RewriteStartBlock(const char* block, int length, int* out_length) {
  char* out = malloc((size_t)length * 4 + 65536 * 2 + 16);
  int in = 0, at = 0;
  if (length < 1 || ((unsigned char)block[0] != kActionBackup && (unsigned char)block[0] != kActionRestore)) {
    memcpy(out, block, (size_t)length);
    *out_length = length;
    return out;
  }
  out[at++] = block[in++];
  while (in < length) {
    const unsigned char tag = (unsigned char)block[in];
    if ((tag == kSpbDbName || tag == kSpbBkpFile) && in + 3 <= length) {
      const int n = Get16(block + in + 1);
      if (in + 3 + n > length) break;
      int path_length;
      char* path = PathItem(block + in + 3, n, &path_length);
      if (path_length > 0xFFFF) path_length = 0xFFFF;
      out[at++] = (char)tag;
      Put16(out + at, path_length);
      memcpy(out + at + 2, path, (size_t)path_length);
      at += 2 + path_length;
      free(path);
      in += 3 + n;
    } else if ((tag == kSpbOptions || tag == kSpbBkpFactor || tag == kSpbBkpLength) &&
               in + 5 <= length) {
      memcpy(out + at, block + in, 5);
      at += 5;
      in += 5;
    } else if (tag == kSpbVerbose) {
      out[at++] = block[in++];
    } else {
      break;
    }
  }
  memcpy(out + at, block + in, (size_t)(length - in));
  *out_length = at + length - in;
  return out;
}

/* User name and password, one-byte lengths, from ANSI to UTF-8, after a
 * header of `header` bytes that starts with `version`. The service
 * attach block and the database parameter block share the items. */
static char* RewriteLoginItems(const char* block, int length, char version, int header, int* out_length) {
  char* out = malloc((size_t)length * 3 + 16);
  int in = 0, at = 0;
  if (length >= header && block[0] == version) {
    memcpy(out, block, (size_t)header);
    in = at = header;
    while (in + 2 <= length) {
      const unsigned char tag = (unsigned char)block[in];
      const int n = (unsigned char)block[in + 1];
      if ((tag != kSpbUserName && tag != kSpbPassword) || in + 2 + n > length) break;
      int value_length;
      char* value = Recode(CP_ACP, CP_UTF8, block + in + 2, n, &value_length);
      if (value_length > 255) value_length = 255;
      out[at++] = (char)tag;
      out[at++] = (char)value_length;
      memcpy(out + at, value, (size_t)value_length);
      at += value_length;
      free(value);
      in += 2 + n;
    }
  }
  memcpy(out + at, block + in, (size_t)(length - in));
  *out_length = at + length - in;
  return out;
}

static char* RewriteAttachBlock(const char* block, int length, int* out_length) {
  return RewriteLoginItems(block, length, kSpbVersion, 2, out_length);
}

/* A database name: "host:path" or a path alone (the local protocol, which on
 * Windows reaches the installed server); a drive path becomes a Unix one. */
static char* DatabaseName(const char* ansi, int length, int* out_length) {
  int wide_length;
  WCHAR* wide = Widen(CP_ACP, ansi, length, &wide_length);
  const WCHAR* path = wide;
  const char* host = "localhost";
  char* host_copy = NULL;
  if (!IsDrivePath(wide)) {
    WCHAR* colon = wide;
    while (*colon && *colon != ':') ++colon;
    if (*colon) {
      int host_length;
      host_copy = Narrow(CP_UTF8, wide, (int)(colon - wide), &host_length);
      host = host_copy;
      path = colon + 1;
    }
  }
  int path_length;
  char* unix_path = IsDrivePath(path) ? UnixPath(path, &path_length) : Narrow(CP_UTF8, path, -1, &path_length);
  char* name = malloc(strlen(host) + (size_t)path_length + 2);
  strcpy(name, host);
  strcat(name, ":");
  strcat(name, unix_path);
  *out_length = (int)strlen(name);
  free(unix_path);
  free(host_copy);
  free(wide);
  return name;
}

/* A name without a host is the local protocol: on Windows it reaches the
 * installed server. */
static char* ServiceName(const char* ansi, int length, int* out_length) {
  int n;
  char* utf8 = Recode(CP_ACP, CP_UTF8, ansi, length, &n);
  if (strchr(utf8, ':') || (n >= 2 && utf8[0] == '\\' && utf8[1] == '\\')) {
    *out_length = n;
    return utf8;
  }
  char* local = malloc((size_t)n + 11);
  strcpy(local, "localhost:");
  strcat(local, utf8);
  free(utf8);
  *out_length = n + 10;
  return local;
}

/* UTF-8 text from the library into the caller's buffer in the ANSI code
 * page, in place; it never grows. */
static void ToAnsiInPlace(char* text, int length, int capacity) {
  int n;
  char* ansi = Recode(CP_UTF8, CP_ACP, text, length, &n);
  if (n < capacity) {
    memcpy(text, ansi, (size_t)n);
    text[n] = 0;
  }
  free(ansi);
}

isc_status WINAPI bridge_isc_service_attach(isc_status* status, unsigned short name_length,
                                            const char* name, fb_handle* handle,
                                            unsigned short spb_length, const char* spb) {
  int service_length, block_length;
  char* service = ServiceName(name, name_length ? name_length : (int)strlen(name), &service_length);
  char* block = RewriteAttachBlock(spb, spb_length, &block_length);
  isc_status result = fb.attach(status, (unsigned short)service_length, service, handle,
                                (unsigned short)block_length, block);
  free(block);
  free(service);
  return result;
}

isc_status WINAPI bridge_isc_service_detach(isc_status* status, fb_handle* handle) {
  return fb.detach(status, handle);
}

isc_status WINAPI bridge_isc_service_start(isc_status* status, fb_handle* handle,
                                           isc_long* reserved, unsigned short spb_length,
                                           const char* spb) {
  int length;
  char* block = RewriteStartBlock(spb, spb_length, &length);
  if (length > 0xFFFF) length = 0xFFFF;
  isc_status result = fb.start(status, handle, reserved, (unsigned short)length, block);
  free(block);
  return result;
}

isc_status WINAPI bridge_isc_service_query(isc_status* status, fb_handle* handle,
                                           isc_long* reserved, unsigned short send_length,
                                           const char* send_items, unsigned short request_length,
                                           const char* request_items,
                                           unsigned short buffer_length, char* buffer) {
  isc_status result = fb.query(status, handle, reserved, send_length, send_items, request_length,
                               request_items, buffer_length, buffer);
  const unsigned char item = buffer_length ? (unsigned char)buffer[0] : 0;
  if (result || buffer_length < 4 || (item != kInfoSvcLine && item != kInfoSvcToEof)) return result;
  const int n = Get16(buffer + 1);
  if (n == 0 || 3 + n >= buffer_length) return result;
  const char mark = buffer[3 + n];
  if (mark != kInfoEnd && mark != kInfoTruncated) return result;
  int ansi_length;
  char* ansi = Recode(CP_UTF8, CP_ACP, buffer + 3, n, &ansi_length);
  if (ansi_length <= n) {
    Put16(buffer + 1, ansi_length);
    memcpy(buffer + 3, ansi, (size_t)ansi_length);
    buffer[3 + ansi_length] = mark;
  }
  free(ansi);
  return result;
}

isc_status WINAPI bridge_isc_attach_database(isc_status* status, short name_length, const char* name,
                                             fb_handle* handle, short dpb_length, const char* dpb) {
  int database_length, block_length;
  char* database = DatabaseName(name, name_length ? name_length : (int)strlen(name), &database_length);
  char* block = RewriteLoginItems(dpb, dpb_length, kDpbVersion1, 1, &block_length);
  isc_status result = fb.attach_database(status, (short)database_length, database, handle, (short)block_length, block);
  free(block);
  free(database);
  return result;
}

isc_status WINAPI bridge_isc_drop_database(isc_status* status, fb_handle* handle) {
  return fb.drop_database(status, handle);
}

isc_status WINAPI bridge_isc_detach_database(isc_status* status, fb_handle* handle) {
  return fb.detach_database(status, handle);
}

isc_long WINAPI bridge_isc_vax_integer(const char* bytes, short length) {
  return fb.vax_integer(bytes, length);
}

isc_long WINAPI bridge_isc_sqlcode(const isc_status* status) { return fb.sqlcode(status); }

isc_status WINAPI bridge_isc_interprete(char* buffer, isc_status** cursor) {
  isc_status n = fb.interprete(buffer, cursor);
  if (n > 0) ToAnsiInPlace(buffer, (int)strlen(buffer), (int)strlen(buffer) + 1);
  return n;
}

isc_long WINAPI bridge_fb_interpret(char* buffer, unsigned int size, const isc_status** cursor) {
  isc_long n = fb.interpret(buffer, size, cursor);
  if (n > 0) ToAnsiInPlace(buffer, (int)strlen(buffer), (int)size);
  return n > 0 ? (isc_long)strlen(buffer) : n;
}

/* The bridge's own view of the widths, for the Windows side to compare:
 * bytes of ISC_STATUS, handle and ISC_LONG, one decimal digit each. */
int CDECL bridge_abi_sizes(void) {
  return (int)(sizeof(isc_status) * 100 + sizeof(fb_handle) * 10 + sizeof(isc_long));
}
