#pragma once
// Parameter blocks sent to the service manager, and the reply of an output
// query. Pure byte work, apart from the client library's integer reader.
#include "service/ServiceTypes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace odb {

class IFbClient;


// The attach block from the name=value lines of Params.
std::string BuildAttachBlock(const std::vector<std::string>& params);

// "service_mgr" or "<server>:service_mgr".
std::string ServiceManagerName(TProtocol protocol, const std::string& server_name);

// Start block items. A text item with an empty value is left out, tag and all;
// `what` names the item in the error raised for a value over 65535 bytes.
void AppendTextItem(std::string& block, std::uint8_t tag, std::string_view value,
                    std::string_view what);
void AppendInt32Item(std::string& block, std::uint8_t tag, std::uint32_t value);

// One isc_info_svc_line reply: the line, and whether it was the empty end line.
struct OutputLine {
  std::string text;
  bool ended = false;
};
OutputLine ParseOutputLine(IFbClient& client, const char* reply, std::size_t size);
// One isc_info_svc_to_eof reply: as much output as it holds, lines and all,
// and whether it was the empty one after the end.
OutputLine ParseOutputText(IFbClient& client, const char* reply, std::size_t size);

}  // namespace odb
