// The server login in the INI on Linux: clear text, but only in a private file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FormFixture.h"
#include "config/IniFile.h"
#include "config/Login.h"

namespace odb {
namespace {

using test::FormFixture;

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0);
  return st.st_mode & 07777;
}

// One backup through the window, against the fake server.
struct LoginRun {
  // A backup with the given [OrdavaDB] lines; returns the attach block sent.
  std::string AttachBlockWith(const std::string& loginLines, mode_t mode = 0600) {
    fx.WriteIni("[OrdavaDB]\nLocalHost=A\nDatabaseName=/data/ordava.fdb\n" + loginLines + "[Backups]\nBackupPath=" +
                fx.BackupDir() + "\n[Settings]\nLogToFile=A\nEventAction=PauseBackup\n");
    ::chmod(fx.IniPath().c_str(), mode);
    fs::CreateDirectories(fx.BackupDir());
    fx.Start();
    fx.ScriptOutput(1);
    fx.form->RunBackup();
    return fx.fb.attach_block;
  }
  FormFixture fx;
};

std::string Item(char tag, const std::string& value) {
  return std::string{tag, static_cast<char>(value.size())} + value;
}
const std::string kVersion{2, 2};

TEST(LoginIni, AttachBlockBytes) {
  struct Case {
    const char* lines;
    std::string block;
  };
  const Case cases[] = {
      {"", kVersion + Item(28, "sysdba") + Item(29, "pinewharf")},
      {"UserName=\nPassword=\n", kVersion + Item(28, "sysdba") + Item(29, "pinewharf")},
      {"UserName=ordava\n", kVersion + Item(28, "ordava") + Item(29, "pinewharf")},
      {"Password=tajne=heslo\n", kVersion + Item(28, "sysdba") + Item(29, "tajne=heslo")},
      {"UserName=SYSDBA\nPassword=\" mezera \"\n", kVersion + Item(28, "SYSDBA") + Item(29, " mezera ")},
  };
  for (const Case& c : cases) {
    LoginRun run;
    EXPECT_EQ(run.AttachBlockWith(c.lines), c.block) << c.lines;
  }
}

TEST(LoginIni, PasswordInAFileOthersCanReadIsRefused) {
  for (const mode_t mode : {0644, 0640, 0604}) {
    LoginRun run;
    try {
      (void)run.AttachBlockWith("Password=tajne\n", mode);
      ADD_FAILURE() << "mode " << std::oct << mode << " was accepted";
    } catch (const ELoginError& error) {
      const std::string text = error.what();
      EXPECT_NE(text.find(run.fx.IniPath()), std::string::npos) << text;
      EXPECT_NE(text.find("mohou číst i jiní uživatelé"), std::string::npos) << text;
      EXPECT_NE(text.find("chmod 600"), std::string::npos) << text;
    }
    EXPECT_EQ(run.fx.fb.attaches, 0) << "nothing may be sent with a refused password";
  }
}

TEST(LoginIni, UserNameAloneNeedsNoPrivateFile) {
  EXPECT_EQ(LoginRun().AttachBlockWith("UserName=ordava\n", 0644), kVersion + Item(28, "ordava") + Item(29, "pinewharf"));
}

TEST(LoginStore, RoundTripsEveryPasswordAndMakesTheFilePrivate) {
  test::TempDir dir;
  const std::string path = dir / "odbackup.ini";
  fs::WriteFile(path, "[OrdavaDB]\r\nServerName=fb\r\n[Backups]\r\nBackupCount=3\r\n");
  ::chmod(path.c_str(), 0644);
  for (const std::string password : {"plain", " lead", "trail ", "\"quoted\"", "'half", "a=b=c", "žluťoučký"}) {
    TIniFile ini(path);
    StoreLogin(ini, std::string("ordava"), password);
    EXPECT_EQ(ModeOf(path), 0600u);
    const TLogin login = ReadLogin(TIniFile(path));
    EXPECT_EQ(login.Password, password);
    EXPECT_EQ(login.UserName, "ordava");
  }
  const TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("OrdavaDB", "ServerName", ""), "fb") << "other keys stay";
  EXPECT_EQ(ini.ReadString("Backups", "BackupCount", ""), "3");
}

TEST(LoginStore, ANewFileIsPrivateFromTheStart) {
  test::TempDir dir;
  const std::string path = dir / "new.ini";
  TIniFile ini(path);
  StoreLogin(ini, std::nullopt, "tajne");
  EXPECT_EQ(ModeOf(path), 0600u);
  EXPECT_EQ(ReadLogin(TIniFile(path)).Password, "tajne");
  EXPECT_EQ(ReadLogin(TIniFile(path)).UserName, std::nullopt) << "no --user stores no user name";
  TIniFile later(path);  // the settings saved afterwards replace the file
  later.WriteString("Backups", "BackupCount", "3");
  later.UpdateFile();
  EXPECT_EQ(ModeOf(path), 0600u);
  EXPECT_EQ(ReadLogin(TIniFile(path)).Password, "tajne");
}

}  // namespace
}  // namespace odb

namespace odb {
namespace {

TEST(LoginTray, TheDialogStoresWhatItWasGiven) {
  struct Case {
    std::optional<TLoginEntry> answer;
    std::string password, user;  // in the INI afterwards; empty: no key
    bool errorBox;
  };
  const Case cases[] = {
      {TLoginEntry{"ordava", "Tajne-heslo_7"}, "Tajne-heslo_7", "ordava", false},
      {TLoginEntry{"", "x y "}, "x y ", "sysdba", false},
      {std::nullopt, "", "", false},
      {TLoginEntry{"ordava", ""}, "", "", true},
      {TLoginEntry{"ordava", std::string(256, 'p')}, "", "", true},
  };
  for (const Case& c : cases) {
    test::FormFixture fx;
    fx.WriteIni("[OrdavaDB]\nServerName=fb\n[Settings]\nEventAction=PauseBackup\n");
    fx.Start();
    fx.app.LoginAnswers = {c.answer};
    fx.app.MenuAnswers = {TTrayCommand::Login};
    fx.form->HandleMessage(WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN_MSG);
    EXPECT_EQ(fx.app.LoginAsked, std::vector<std::string>{"sysdba"});
    const TIniFile ini(fx.IniPath());
    EXPECT_EQ(ini.ReadString("OrdavaDB", "Password", ""), c.password);
    EXPECT_EQ(ini.ReadString("OrdavaDB", "UserName", ""), c.user);
    EXPECT_EQ(fx.app.Boxes.size(), c.errorBox ? 1u : 0u);
    if (!c.password.empty()) {
      EXPECT_EQ(ModeOf(fx.IniPath()), 0600u);
    }
  }
}

}  // namespace
}  // namespace odb
