#pragma once
// Storing the server login, shared by the tray dialog and --set-password.
#include <optional>
#include <string>

namespace odb {

// Refuses, before anything is stored, what the INI could not keep whole or the
// attach block could not carry (the latter with the service client's error).
void CheckLoginStorable(const std::string& userName, const std::string& password);
// Checks, then writes UserName (when given) and the password into the INI.
void StoreCheckedLogin(const std::string& iniFileName, const std::optional<std::string>& userName,
                       const std::string& password);

}  // namespace odb
