#pragma once
// What the log benchmarks of both platforms feed the program: a service
// manager that streams verbose output at once, and a log file of a given size.
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "service/FbClient.h"
#include "common/DateTime.h"
#include "common/FileSystem.h"
#include "log/ActivityLog.h"

namespace odb::bench {

// A service manager that streams `lines` output lines at once, then the end.
class TStreamingClient final : public IFbClient {
 public:
  long lines = 0;

  ISC_STATUS ServiceAttach(ISC_STATUS*, unsigned short, const char*, isc_svc_handle* handle,
                           unsigned short, const char*) override {
    *handle = 1;
    sent_ = 0;
    return 0;
  }
  ISC_STATUS ServiceDetach(ISC_STATUS*, isc_svc_handle*) override { return 0; }
  ISC_STATUS ServiceStart(ISC_STATUS*, isc_svc_handle*, unsigned short, const char*) override {
    return 0;
  }
  ISC_STATUS ServiceQuery(ISC_STATUS*, isc_svc_handle*, unsigned short, const char*,
                          unsigned short, const char*, unsigned short, char* buffer) override {
    char text[64];
    const int n = sent_ < lines ? std::snprintf(text, sizeof text,
                                                "gbak:    writing data for table T%ld", sent_ % 400 + 1)
                                : 0;
    ++sent_;
    buffer[0] = isc_info_svc_line;
    buffer[1] = static_cast<char>(n & 0xFF);
    buffer[2] = static_cast<char>(n >> 8);
    std::memcpy(buffer + 3, text, static_cast<size_t>(n));
    buffer[3 + n] = isc_info_end;
    return 0;
  }
  long VaxInteger(const char* bytes, short length) override {
    long v = 0;
    for (short i = length - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    return v;
  }
  ISC_STATUS AttachDatabase(ISC_STATUS*, short, const char*, isc_db_handle*, short, const char*) override { return 1; }
  ISC_STATUS DropDatabase(ISC_STATUS*, isc_db_handle*) override { return 1; }
  ISC_STATUS DetachDatabase(ISC_STATUS*, isc_db_handle*) override { return 1; }
  long SqlCode(const ISC_STATUS*) override { return 0; }
  long Interpret(char*, unsigned, const ISC_STATUS**) override { return 0; }

 private:
  long sent_ = 0;
};

// A log file of about `bytes` bytes made of the entries the scheduler writes.
inline void FillLog(const std::string& path, size_t bytes) {
  std::string text;
  TDateTime at = TDateTime::Encode(2024, 1, 1, 8, 0, 0);
  while (text.size() < bytes) {
    text += FormatLogEntry("Příští zálohování nastaveno: " + FormatDateTime(at.AddMs(3'600'000)), at);
    text += FormatLogEntry("Záloha byla provedena: " + FormatDateTime(at), at);
    at = at.AddMs(3'600'000);
  }
  if (!fs::WriteFile(path, text)) throw std::runtime_error("cannot write " + path);
}

}  // namespace odb::bench
