#pragma once
// A client library stand-in that records what the component sends and answers
// from a script.
#include "service/FbClient.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace odb::test {

class FakeFbClient : public IFbClient {
 public:
  // What was sent.
  std::string service_name, attach_block, start_block, query_send, query_request;
  int attaches = 0, detaches = 0, starts = 0, queries = 0;
  // The database calls: the name and parameter block attached, and the drops.
  std::string database_name, database_block;
  int database_attaches = 0, drops = 0, database_detaches = 0;
  bool fail_database_attach = false, fail_drop = false;
  // What to answer: the call that fails (its status), replies to queries.
  bool fail_attach = false, fail_start = false, fail_query = false, fail_detach = false;
  long sql_code = -902;
  // A started backup writes the file its start block names with these bytes.
  bool write_files = true;
  std::string backup_bytes = "backup";
  std::vector<std::string> messages = {"first line", "second line."};
  std::deque<std::string> replies;

  static std::string Running(bool running) { return {67, running ? '\x01' : '\0', 0, 0, 0, '\x01'}; }
  // An isc_info_svc_to_eof reply; more: the server has more than fitted.
  static std::string Text(const std::string& text, bool more) {
    std::string r{63, static_cast<char>(text.size() & 0xFF), static_cast<char>(text.size() >> 8)};
    return r + text + (more ? '\x02' : '\x01');
  }
  static std::string Line(const std::string& text) {
    std::string r{62, static_cast<char>(text.size() & 0xFF), static_cast<char>(text.size() >> 8)};
    return r + text + '\x01';
  }

  ISC_STATUS ServiceAttach(ISC_STATUS* status, unsigned short name_length, const char* name,
                           isc_svc_handle* handle, unsigned short spb_length,
                           const char* spb) override {
    ++attaches;
    service_name.assign(name, name_length);
    attach_block.assign(spb, spb_length);
    if (fail_attach) return Fail(status);
    *handle = (isc_svc_handle)77;  // an integer on 64-bit, a pointer on 32-bit
    return 0;
  }
  ISC_STATUS ServiceDetach(ISC_STATUS* status, isc_svc_handle*) override {
    ++detaches;
    return fail_detach ? Fail(status) : 0;
  }
  ISC_STATUS ServiceStart(ISC_STATUS* status, isc_svc_handle*, unsigned short spb_length,
                          const char* spb) override {
    ++starts;
    start_block.assign(spb, spb_length);
    if (fail_start) return Fail(status);
    // A backup writes its file (isc_spb_bkp_file), a restore creates its
    // database (isc_spb_dbname), as a server would.
    if (write_files && !start_block.empty() && start_block[0] == 1) WriteNamedFile(5, backup_bytes);
    if (write_files && !start_block.empty() && start_block[0] == 2) WriteNamedFile(106, "restored");
    return 0;
  }
  ISC_STATUS ServiceQuery(ISC_STATUS* status, isc_svc_handle*, unsigned short send_length, const char* send_items,
                          unsigned short request_length, const char* request_items,
                          unsigned short buffer_length, char* buffer) override {
    ++queries;
    query_send.assign(send_items, send_length);
    query_request.assign(request_items, request_length);
    if (fail_query) return Fail(status);
    if (request_length != 1 || (request_items[0] != 62 && request_items[0] != 63 && request_items[0] != 67)) {
      return Fail(status);
    }
    std::memset(buffer, 0x55, buffer_length);
    std::string reply = replies.empty() ? Line("") : replies.front();
    if (!replies.empty()) replies.pop_front();
    std::memcpy(buffer, reply.data(), std::min<size_t>(reply.size(), buffer_length));
    return 0;
  }
  ISC_STATUS AttachDatabase(ISC_STATUS* status, short name_length, const char* name, isc_db_handle* handle,
                            short dpb_length, const char* dpb) override {
    ++database_attaches;
    database_name.assign(name, static_cast<size_t>(name_length));
    database_block.assign(dpb, static_cast<size_t>(dpb_length));
    if (fail_database_attach) return Fail(status);
    *handle = (isc_db_handle)55;  // an integer on 64-bit, a pointer on 32-bit
    return 0;
  }
  ISC_STATUS DropDatabase(ISC_STATUS* status, isc_db_handle* handle) override {
    ++drops;
    if (fail_drop) return Fail(status);
    *handle = 0;
    return 0;
  }
  ISC_STATUS DetachDatabase(ISC_STATUS*, isc_db_handle* handle) override {
    ++database_detaches;
    *handle = 0;
    return 0;
  }
  long VaxInteger(const char* bytes, short length) override {
    long v = 0;
    for (short i = length - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    return v;
  }
  long SqlCode(const ISC_STATUS*) override { return sql_code; }
  long Interpret(char* buffer, unsigned size, const ISC_STATUS** cursor) override {
    const size_t i = static_cast<size_t>((*cursor)[0] == 1 ? 0 : (*cursor)[0] - 100);
    if (i >= messages.size()) return 0;
    std::snprintf(buffer, size, "%s", messages[i].c_str());
    *cursor = next_[i];
    return static_cast<long>(messages[i].size());
  }

 private:
  // The start block's items: text items have a 2-byte length, isc_spb_options
  // a 4-byte value, isc_spb_verbose none.
  void WriteNamedFile(unsigned char wanted, const std::string& bytes) {
    for (size_t i = 1; i + 2 < start_block.size();) {
      const auto tag = static_cast<unsigned char>(start_block[i]);
      if (tag == 108) { i += 5; continue; }
      if (tag == 107) { i += 1; continue; }
      const size_t n = static_cast<unsigned char>(start_block[i + 1]) | static_cast<unsigned char>(start_block[i + 2]) << 8;
      if (tag == wanted) {
        // Into a folder that exists only, as a server: never outside a test's folder.
        const std::string path = start_block.substr(i + 3, n);
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
          std::fwrite(bytes.data(), 1, bytes.size(), f);
          std::fclose(f);
        }
        return;
      }
      i += 3 + n;
    }
  }
  ISC_STATUS Fail(ISC_STATUS* status) {
    status[0] = 1;
    status[1] = 335544472;
    // Cursor positions into a private array: element k names message k.
    for (size_t k = 0; k < 8; ++k) cursors_[k] = static_cast<ISC_STATUS>(101 + k);
    for (size_t k = 0; k < 8; ++k) next_[k] = &cursors_[k];
    return 1;
  }
  ISC_STATUS cursors_[8] = {};
  const ISC_STATUS* next_[8] = {};
};

}  // namespace odb::test
