// The tray's "Přihlašovací údaje…": the login dialog, and what it stores.
#include "app/LoginEntry.h"

#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "service/ServiceBlocks.h"
#include "common/Cp1250.h"
#include "config/IniFile.h"
#include "config/Login.h"

namespace odb {

void CheckLoginStorable(const std::string& userName, const std::string& password) {
  if (password.empty()) throw Exception(std::string(msg::LoginNoPassword));
  for (const std::string* value : {&userName, &password}) {
    if (Cp1250ToUtf8(Utf8ToCp1250(*value)) != *value || value->find_first_of("\r\n") != std::string::npos) {
      throw Exception(std::string(msg::LoginNotStorable));
    }
  }
  (void)BuildAttachBlock({"user_name=" + userName, "password=" + password});
}

void StoreCheckedLogin(const std::string& iniFileName, const std::optional<std::string>& userName,
                       const std::string& password) {
  const std::string shownUser =
      userName.value_or(TIniFile(iniFileName).ReadString(kLoginSection, "UserName", "sysdba"));
  CheckLoginStorable(shownUser, password);
  TIniFile ini(iniFileName);
  StoreLogin(ini, userName, password);
}

void TFrmODBackupDB::miLoginClick() {
  const TIniFile ini(settings_.IniFileName());
  std::string user = ini.ReadString(kLoginSection, "UserName", "");
  if (user.empty()) user = "sysdba";
  const std::optional<TLoginEntry> entry = App.AskLogin(user);
  if (!entry) return;
  StoreCheckedLogin(settings_.IniFileName(), entry->UserName.empty() ? std::string("sysdba") : entry->UserName, entry->Password);
}

}  // namespace odb
