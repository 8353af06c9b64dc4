#pragma once
// The server login kept in [OrdavaDB]: UserName and the password. Without the
// keys the program signs in as it always has, so such a configuration sends
// the same attach block as before the keys existed.
#include <optional>
#include <string>

#include "common/Errors.h"

namespace odb {

class TIniFile;

// The stored password may not or cannot be used; the text says why.
class ELoginError : public Exception {
 public:
  using Exception::Exception;
};

struct TLogin {
  std::optional<std::string> UserName;  // nullopt: the key is missing or empty
  std::optional<std::string> Password;
};

TLogin ReadLogin(const TIniFile& ini);
// Writes UserName (when given) and the password in the form the platform keeps
// it, and puts them into the file.
void StoreLogin(TIniFile& ini, const std::optional<std::string>& userName, const std::string& password);

// The platform's half: the password key as this platform stores it.
std::optional<std::string> ReadStoredPassword(const TIniFile& ini);
void StorePassword(TIniFile& ini, const std::string& password);

#ifdef _WIN32
// DPAPI for the current user, as base64; nullopt when the text does not unprotect.
std::string ProtectPassword(const std::string& password);
std::optional<std::string> UnprotectPassword(const std::string& base64);
#endif

// A value as written into the INI so that reading gives it back whole: quoted
// when blanks or quotes at its ends would be trimmed away.
std::string IniValueText(const std::string& value);

inline constexpr const char* kLoginSection = "OrdavaDB";

}  // namespace odb
