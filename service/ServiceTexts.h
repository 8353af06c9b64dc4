#pragma once
// Texts of the service manager client. Texts that hold a placeholder take
// exactly one argument (see FormatMsg) unless their comment says otherwise.
#include <string_view>

namespace odb::msg {

inline constexpr std::string_view FbClientNotFound =
    "Firebird client library %s not found in the path. "
    "Please install the Firebird client to use this functionality";
inline constexpr std::string_view FbClientFunctionMissing =
    "Firebird client library lacks the function %s. Please install a current Firebird client";
inline constexpr std::string_view SvcAttached = "Cannot perform operation -- service is attached";
inline constexpr std::string_view SvcNotAttached =
    "Cannot perform operation -- service is not attached";
inline constexpr std::string_view SvcServerNameMissing = "Server Name Missing";
inline constexpr std::string_view SvcStartParamsMissing = "start Parameters missing or incorrect";
inline constexpr std::string_view SvcQueryParamsMissing = "Query Parameters missing or incorrect";
inline constexpr std::string_view SvcUnexpectedOutput = "Unexpected Output buffer value";
inline constexpr std::string_view SpbNotSupported = "SPB Constant Not supported";
inline constexpr std::string_view SpbUnknown = "SPB Constant Unknown";
inline constexpr std::string_view SpbValueTooLong =
    "Service parameter too long (at most 255 bytes): %s";
inline constexpr std::string_view StartValueTooLong =
    "Service start value too long (at most 65535 bytes): %s";
inline constexpr std::string_view StartBlockTooLong =
    "Service start parameters too long together (at most 65535 bytes)";
inline constexpr std::string_view ServiceNameTooLong =
    "Service manager name too long (at most 65535 bytes)";
inline constexpr std::string_view AttachBlockTooLong =
    "Service parameters too long together (at most 65535 bytes)";
inline constexpr std::string_view ClientTextNotInCodePage =
    "Text '%s' obsahuje znak, který znaková sada systému neumí zapsat, "
    "a klientu Firebirdu jej nelze předat";

}  // namespace odb::msg
