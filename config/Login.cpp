#include "config/Login.h"

#include "config/IniFile.h"

namespace odb {
namespace {

bool IsTrimmedAway(char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; }

}  // namespace

TLogin ReadLogin(const TIniFile& ini) {
  TLogin login;
  std::string user = ini.ReadString(kLoginSection, "UserName", "");
  if (!user.empty()) login.UserName = std::move(user);
  login.Password = ReadStoredPassword(ini);
  return login;
}

void StoreLogin(TIniFile& ini, const std::optional<std::string>& userName, const std::string& password) {
  // The password first: on Linux storing it makes the file private before
  // anything secret is in it.
  StorePassword(ini, password);
  if (userName) ini.WriteString(kLoginSection, "UserName", IniValueText(*userName));
  ini.UpdateFile();
}

std::string IniValueText(const std::string& value) {
  if (value.empty() || (!IsTrimmedAway(value.front()) && !IsTrimmedAway(value.back()))) return value;
  return "\"" + value + "\"";
}

}  // namespace odb
