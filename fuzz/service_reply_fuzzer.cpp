// Replies of the service manager's output query, whatever bytes they hold:
// parsed straight from a buffer of exactly their size, and read through the
// backup component from a fake client library.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "FakeFbClient.h"
#include "service/BackupService.h"
#include "service/ServiceBlocks.h"
#include "service/ServiceErrors.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void ParseExact(odb::test::FakeFbClient& client, const uint8_t* data, size_t size) {
  // A heap block of the reply's own size, so the sanitizer sees any read past it.
  auto reply = std::make_unique<char[]>(size ? size : 1);
  if (size) std::memcpy(reply.get(), data, size);
  try {
    const odb::OutputLine line = odb::ParseOutputLine(client, reply.get(), size);
    Check(line.text.size() + 4 <= size);
    Check(!line.ended || line.text.empty());
  } catch (const odb::EServiceClientError&) {
  }
}

// The input cut into replies at every 0xFF byte, read as one backup's output.
void ReadThroughComponent(odb::test::FakeFbClient& client, const uint8_t* data, size_t size) {
  std::string reply;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF) {
      client.replies.push_back(reply);
      reply.clear();
    } else {
      reply += static_cast<char>(data[i]);
    }
  }
  client.replies.push_back(reply);
  odb::TBackupService service(client);
  service.SetLoginPrompt(false);
  service.SetDatabaseName("db.fdb");
  service.BackupFile() = {"backup.fbk"};
  try {
    service.Attach();
    service.ServiceStart();
    for (int lines = 0; !service.OutputEnded(); ++lines) {
      Check(lines <= static_cast<int>(size) + 1);
      (void)service.ReadOutputLine();
    }
    Check(service.ReadOutputLine().empty());
  } catch (const odb::EServiceError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  odb::test::FakeFbClient client;
  ParseExact(client, data, size);
  ReadThroughComponent(client, data, size);
  return 0;
}
