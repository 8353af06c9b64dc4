// Windows never keeps the password in clear text: it is protected with DPAPI
// for the current user and kept as PasswordProtected=<base64>, so only the
// same Windows account on the same computer can read it back.
#include <windows.h>
#include <dpapi.h>

#include "common/Base64.h"
#include "common/Format.h"
#include "config/ConfigTexts.h"
#include "config/IniFile.h"
#include "config/Login.h"

namespace odb {
namespace {

constexpr const char* kMissing = "\n";  // no value read from the file holds a line break

struct TLocalBlob {
  DATA_BLOB blob{};
  ~TLocalBlob() {
    if (blob.pbData) ::LocalFree(blob.pbData);
  }
};

DATA_BLOB In(const std::string& bytes) {
  return DATA_BLOB{static_cast<DWORD>(bytes.size()),
                   reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()))};
}

}  // namespace

std::string ProtectPassword(const std::string& password) {
  DATA_BLOB in = In(password);
  TLocalBlob out;
  if (!::CryptProtectData(&in, L"ODBackup", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out.blob)) {
    throw ELoginError(std::string(msg::PasswordNotProtected));
  }
  return Base64Encode(std::string_view(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData));
}

std::optional<std::string> UnprotectPassword(const std::string& base64) {
  const std::optional<std::string> sealed = Base64Decode(base64);
  if (!sealed) return std::nullopt;
  DATA_BLOB in = In(*sealed);
  TLocalBlob out;
  if (!::CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out.blob)) {
    return std::nullopt;
  }
  return std::string(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData);
}

std::optional<std::string> ReadStoredPassword(const TIniFile& ini) {
  const std::string sealed = ini.ReadString(kLoginSection, "PasswordProtected", kMissing);
  if (sealed == kMissing || sealed.empty()) return std::nullopt;
  std::optional<std::string> password = UnprotectPassword(sealed);
  if (!password) throw ELoginError(FormatMsg(msg::PasswordNotReadable, ini.FileName()));
  return password;
}

void StorePassword(TIniFile& ini, const std::string& password) {
  ini.WriteString(kLoginSection, "PasswordProtected", ProtectPassword(password));
}

}  // namespace odb
