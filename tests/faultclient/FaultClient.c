/* libfbclient.so.2 for the tests: forwards every call to the real Firebird
 * client library and fails the calls that ODB_FAULTCLIENT names, so the error
 * paths a real server will not produce on demand can be reached. The tests put
 * its folder first on LD_LIBRARY_PATH; the program loads it by the ordinary
 * name and cannot tell. Programs that link the real library (isql-fb, gbak)
 * must not inherit that path.
 *
 * ODB_FAULTCLIENT is read at every call, so a test may change it between runs:
 *   attach      isc_service_attach fails (no connection is made)
 *   start       isc_service_start fails (the attachment stays open)
 *   query@N     the N-th isc_service_query after a start fails, uncalled
 *   short@N     the N-th query's reply loses its end mark, as if cut short
 *   detach      isc_service_detach detaches, then reports a failure
 *   damage      a restore's start first overwrites 4 KiB in the middle of the
 *               backup file it names, as a bad disk would; the real server
 *               then restores the damaged file
 *   skip        a restore's start first overwrites 64 bytes 1,321 past the
 *               first row ("row number 0") of the backup file it names; there
 *               gbak skips rows with "-- continuing" and ends as if whole
 *               (measured on Firebird 3 with the test databases' rows)
 *   truncate@P  a restore's start first cuts the backup file it names to P per
 *               mille of its length, as a backup cut short by a crash would be
 * ODB_REAL_FBCLIENT names the real library (default: the Debian one). */
#define _GNU_SOURCE /* memmem */
#include <dlfcn.h>
#include <ibase.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static void* real;
static int queries; /* since the last start */

static void* Real(const char* name) {
  if (!real) {
    const char* path = getenv("ODB_REAL_FBCLIENT");
    /* Global, because the engine plugins the real library loads need its
     * symbols and name it by the name this library answers to. */
    real = dlopen(path ? path : "/usr/lib/x86_64-linux-gnu/libfbclient.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!real) {
      fprintf(stderr, "faultclient: %s\n", dlerror());
      abort();
    }
  }
  void* f = dlsym(real, name);
  if (!f) abort();
  return f;
}

#define REAL(name) ((__typeof__(&name))Real(#name))

/* Whether the fault named `what` applies now; `at` is the call's number
 * where the fault takes one (query@N, short@N). */
static int Fault(const char* what, int at) {
  const char* wanted = getenv("ODB_FAULTCLIENT");
  size_t n = strlen(what);
  if (!wanted || strncmp(wanted, what, n) != 0) return 0;
  if (wanted[n] == '\0') return 1;
  return wanted[n] == '@' && atoi(wanted + n + 1) == at;
}

static const char* texts[] = {"injected failure of isc_service_attach",
                              "injected failure of isc_service_start",
                              "injected failure of isc_service_query",
                              "injected failure of isc_service_detach"};

/* One isc_random error whose message is the text itself. */
static ISC_STATUS Fail(ISC_STATUS* status, const char* text) {
  status[0] = isc_arg_gds;
  status[1] = isc_random;
  status[2] = isc_arg_string;
  status[3] = (ISC_STATUS)text;
  status[4] = isc_arg_end;
  return status[1];
}

ISC_STATUS ISC_EXPORT isc_service_attach(ISC_STATUS* status, unsigned short name_length, const ISC_SCHAR* name,
                                         isc_svc_handle* handle, unsigned short spb_length, const ISC_SCHAR* spb) {
  if (Fault("attach", 0)) return Fail(status, texts[0]);
  return REAL(isc_service_attach)(status, name_length, name, handle, spb_length, spb);
}

/* Overwrites bytes in the middle of the file, keeping its size. */
static void Damage(const char* path) {
  FILE* file = fopen(path, "r+b");
  if (!file) return;
  fseek(file, 0, SEEK_END);
  long size = ftell(file);
  fseek(file, size / 2, SEEK_SET);
  for (int i = 0; i < 4096 && i < size / 2; ++i) fputc(0xA5, file);
  fclose(file);
}

static void DamageAmongRows(const char* path) {
  FILE* file = fopen(path, "r+b");
  if (!file) return;
  static char data[1 << 20];
  size_t size = fread(data, 1, sizeof data, file);
  const char* row = memmem(data, size, "row number 0", 12);
  if (row && (size_t)(row - data) + 1321 + 64 <= size) {
    fseek(file, (long)(row - data) + 1321, SEEK_SET);
    for (int i = 0; i < 64; ++i) fputc(0xFF, file);
  }
  fclose(file);
}

/* Cuts the file to perMille/1000 of its length. */
static void Truncate(const char* path, long perMille) {
  struct stat st;
  if (stat(path, &st) != 0) return;
  if (truncate(path, (off_t)((long long)st.st_size * perMille / 1000)) != 0) perror("faultclient: truncate");
}

/* The backup file named in a restore's start block, into path; 0 when the
 * block is not a restore's. */
static int RestoredBackup(unsigned short length, const ISC_SCHAR* spb, char* path, size_t size) {
  if (length < 4 || spb[0] != isc_action_svc_restore || spb[1] != isc_spb_bkp_file) return 0;
  size_t n = (unsigned char)spb[2] | (size_t)(unsigned char)spb[3] << 8;
  if (4 + n > length || n >= size) return 0;
  memcpy(path, spb + 4, n);
  path[n] = '\0';
  return 1;
}

ISC_STATUS ISC_EXPORT isc_service_start(ISC_STATUS* status, isc_svc_handle* handle, isc_resv_handle* reserved,
                                        unsigned short spb_length, const ISC_SCHAR* spb) {
  queries = 0;
  if (Fault("start", 0)) return Fail(status, texts[1]);
  char path[4096];
  const char* wanted = getenv("ODB_FAULTCLIENT");
  if (RestoredBackup(spb_length, spb, path, sizeof path)) {
    if (Fault("damage", 0)) Damage(path);
    if (Fault("skip", 0)) DamageAmongRows(path);
    /* Any P, so the per mille is read here rather than matched by Fault. */
    if (wanted && strncmp(wanted, "truncate@", 9) == 0) Truncate(path, atol(wanted + 9));
  }
  return REAL(isc_service_start)(status, handle, reserved, spb_length, spb);
}

ISC_STATUS ISC_EXPORT isc_service_query(ISC_STATUS* status, isc_svc_handle* handle, isc_resv_handle* reserved,
                                        unsigned short send_length, const ISC_SCHAR* send,
                                        unsigned short request_length, const ISC_SCHAR* request,
                                        unsigned short buffer_length, ISC_SCHAR* buffer) {
  ++queries;
  if (Fault("query", queries)) return Fail(status, texts[2]);
  ISC_STATUS rc = REAL(isc_service_query)(status, handle, reserved, send_length, send, request_length, request,
                                          buffer_length, buffer);
  if (rc == 0 && Fault("short", queries) && buffer_length > 3) {
    long n = REAL(isc_vax_integer)(buffer + 1, 2);
    if (3 + n < buffer_length) buffer[3 + n] = isc_info_truncated;
  }
  return rc;
}

ISC_STATUS ISC_EXPORT isc_service_detach(ISC_STATUS* status, isc_svc_handle* handle) {
  ISC_STATUS rc = REAL(isc_service_detach)(status, handle);
  if (rc == 0 && Fault("detach", 0)) return Fail(status, texts[3]);
  return rc;
}

ISC_LONG ISC_EXPORT isc_vax_integer(const ISC_SCHAR* bytes, short length) {
  return REAL(isc_vax_integer)(bytes, length);
}

ISC_LONG ISC_EXPORT isc_sqlcode(const ISC_STATUS* status) { return REAL(isc_sqlcode)(status); }

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
ISC_LONG ISC_EXPORT isc_interprete(ISC_SCHAR* buffer, ISC_STATUS** cursor) {
  return REAL(isc_interprete)(buffer, cursor);
}

ISC_LONG ISC_EXPORT fb_interpret(ISC_SCHAR* buffer, unsigned int size, const ISC_STATUS** cursor) {
  return REAL(fb_interpret)(buffer, size, cursor);
}

ISC_STATUS ISC_EXPORT isc_attach_database(ISC_STATUS* status, short name_length, const ISC_SCHAR* name,
                                          isc_db_handle* handle, short dpb_length, const ISC_SCHAR* dpb) {
  return REAL(isc_attach_database)(status, name_length, name, handle, dpb_length, dpb);
}

ISC_STATUS ISC_EXPORT isc_drop_database(ISC_STATUS* status, isc_db_handle* handle) {
  return REAL(isc_drop_database)(status, handle);
}

ISC_STATUS ISC_EXPORT isc_detach_database(ISC_STATUS* status, isc_db_handle* handle) {
  return REAL(isc_detach_database)(status, handle);
}
