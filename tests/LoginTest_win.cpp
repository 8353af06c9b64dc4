// The server login on Windows: DPAPI for the current user, never clear text.
#include <gtest/gtest.h>

#include <vector>

#include "TempDir.h"
#include "common/FileSystem.h"
#include "config/IniFile.h"
#include "config/Login.h"

namespace odb {
namespace {

TEST(LoginWin, DpapiRoundTrip) {
  for (const std::string& password : std::vector<std::string>{"x", "Tajne-heslo_7", " a=b ", std::string(255, 'p')}) {
    const std::string sealed = ProtectPassword(password);
    if (password.size() > 3) {
      EXPECT_EQ(sealed.find(password), std::string::npos);
    }
    EXPECT_EQ(UnprotectPassword(sealed), password);
  }
  EXPECT_EQ(UnprotectPassword("bm90IGRwYXBp"), std::nullopt) << "base64, but not DPAPI";
  EXPECT_EQ(UnprotectPassword("***"), std::nullopt);
}

TEST(LoginWin, StoredProtectedAndReadBack) {
  test::TempDir dir;
  const std::string path = dir / "odbackup.ini";
  TIniFile ini(path);
  StoreLogin(ini, std::string("ordava"), "Tajne-heslo_7");
  const std::string bytes = fs::ReadFile(path).value_or("");
  EXPECT_EQ(bytes.find("Tajne-heslo_7"), std::string::npos) << bytes;
  EXPECT_EQ(bytes.find("Password="), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("PasswordProtected="), std::string::npos) << bytes;
  const TLogin login = ReadLogin(TIniFile(path));
  EXPECT_EQ(login.UserName, "ordava");
  EXPECT_EQ(login.Password, "Tajne-heslo_7");
}

TEST(LoginWin, APasswordThatDoesNotUnprotectSaysSo) {
  test::TempDir dir;
  const std::string path = dir / "odbackup.ini";
  fs::WriteFile(path, "[OrdavaDB]\r\nPasswordProtected=bm90IGRwYXBp\r\nPassword=clear\r\n");
  EXPECT_THROW((void)ReadLogin(TIniFile(path)), ELoginError);
}

}  // namespace
}  // namespace odb
