#include "service/ServiceBlocks.h"

#include "service/ClientText.h"
#include "service/FbClient.h"
#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"
#include "common/Format.h"
#include "common/Text.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace odb {
namespace {

constexpr std::array<std::string_view, 12> kKnownSpbNames = {
    "user_name",     "sys_user_name",   "sys_user_name_enc", "password",
    "password_enc",  "command_line",    "db_name",           "verbose",
    "options",       "connect_timeout", "dummy_packet_interval", "sql_role_name"};

std::string SpbName(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  constexpr std::string_view kPrefix = "isc_spb_";
  if (lower.starts_with(kPrefix)) lower.erase(0, kPrefix.size());
  return lower;
}

std::uint8_t SpbTag(const std::string& name) {
  if (name == "user_name") return isc_spb_user_name;
  if (name == "password") return isc_spb_password;
  if (std::find(kKnownSpbNames.begin(), kKnownSpbNames.end(), name) != kKnownSpbNames.end()) {
    throw EServiceClientError(std::string(msg::SpbNotSupported));
  }
  throw EServiceClientError(std::string(msg::SpbUnknown));
}

}  // namespace

std::string BuildAttachBlock(const std::vector<std::string>& params) {
  std::string block{isc_spb_version, isc_spb_current_version};
  for (const std::string& line : params) {
    const std::size_t eq = line.find('=');
    const std::string_view raw_name =
        eq == std::string::npos ? std::string_view() : std::string_view(line).substr(0, eq);
    if (IsBlankText(raw_name, TBlanks::Controls)) continue;
    const std::string name = SpbName(raw_name);
    const std::uint8_t tag = SpbTag(name);
    const std::string value = ToClientText(std::string_view(line).substr(eq + 1));
    // A one-byte length field: a longer value must not go out cut short.
    if (value.size() > 255) throw EServiceClientError(FormatMsg(msg::SpbValueTooLong, name));
    block += static_cast<char>(tag);
    block += static_cast<char>(value.size());
    block += value;
  }
  return block;
}

std::string ServiceManagerName(TProtocol protocol, const std::string& server_name) {
  switch (protocol) {
    case TProtocol::TCP: return server_name + ":service_mgr";
    case TProtocol::SPX: return server_name + "@service_mgr";
    case TProtocol::NamedPipe: return "\\\\" + server_name + "\\service_mgr";
    case TProtocol::Local: return "service_mgr";
  }
  return "service_mgr";
}

void AppendTextItem(std::string& block, std::uint8_t tag, std::string_view text,
                    std::string_view what) {
  if (text.empty()) return;
  const std::string value = ToClientText(text);
  if (value.size() > 0xFFFF) throw EServiceClientError(FormatMsg(msg::StartValueTooLong, what));
  block += static_cast<char>(tag);
  block += static_cast<char>(value.size() & 0xFF);
  block += static_cast<char>(value.size() >> 8);
  block += value;
}

void AppendInt32Item(std::string& block, std::uint8_t tag, std::uint32_t value) {
  block += static_cast<char>(tag);
  for (int shift = 0; shift < 32; shift += 8) block += static_cast<char>((value >> shift) & 0xFF);
}

namespace {

// item, a 2-byte length, the text, then isc_info_end (or, for a reply that
// is cut at the buffer's end, isc_info_truncated when that is allowed).
OutputLine ParseOutput(IFbClient& client, const char* reply, std::size_t size, std::uint8_t item,
                       bool truncatedAllowed) {
  const auto unexpected = [] { return EServiceClientError(std::string(msg::SvcUnexpectedOutput)); };
  if (size < 4 || static_cast<unsigned char>(reply[0]) != item) throw unexpected();
  const long n = client.VaxInteger(reply + 1, 2);
  if (n < 0 || static_cast<std::size_t>(n) + 3 >= size) throw unexpected();
  const auto mark = static_cast<unsigned char>(reply[3 + n]);
  if (mark != isc_info_end && !(truncatedAllowed && mark == isc_info_truncated)) throw unexpected();
  if (n == 0) return {"", true};
  const std::string_view bytes(reply + 3, static_cast<std::size_t>(n));
  return {FromClientText(bytes.substr(0, bytes.find('\0'))), false};
}

}  // namespace

OutputLine ParseOutputLine(IFbClient& client, const char* reply, std::size_t size) {
  return ParseOutput(client, reply, size, isc_info_svc_line, false);
}

OutputLine ParseOutputText(IFbClient& client, const char* reply, std::size_t size) {
  return ParseOutput(client, reply, size, isc_info_svc_to_eof, true);
}

}  // namespace odb
