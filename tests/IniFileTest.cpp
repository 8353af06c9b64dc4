#include "config/IniFile.h"

#include "common/Cp1250.h"
#include "common/Errors.h"
#include "common/FileSystem.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>

namespace odb {
namespace {

bool SameKey(std::pair<std::string_view, std::string_view> a, std::pair<std::string_view, std::string_view> b) {
  auto upper = [](std::string_view t) {
    std::string u(t);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
  };
  return upper(a.first) == upper(b.first) && upper(a.second) == upper(b.second);
}

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("odb-ini-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "ODBackup.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Put(const std::string& bytes) { ASSERT_TRUE(fs::WriteFile(path_, bytes)); }
  std::string Bytes() { return fs::ReadFile(path_).value_or("<missing>"); }

  std::filesystem::path dir_;
  std::string path_;
};

// A file as a person leaves it after editing it by hand.
const std::string HandEdited =
    "; Ordava backup\r\n"
    "  [ OrdavaDB ]  \r\n"
    "  ServerName  =  server01  \r\n"
    "noequals line\r\n"
    ";LocalHost=N\r\n"
    "DatabaseName=\"C:\\Data\\Ordava.fdb\"\r\n"
    "Quoted2='x'\r\n"
    "Mixed=\"x'\r\n"
    "Lone=\"\r\n"
    "Tabbed=\tv\t\r\n"
    "Dup=first\r\n"
    "DUP=second\r\n"
    "Empty=\r\n"
    "\r\n"
    "[Unknown]\r\n"
    "Foo=bar\r\n"
    "[ordavadb]\r\n"
    "Dup=third\r\n"
    "OnlyHere=yes\r\n"
    "[Settings]\n"
    "LfOnly=lf\rCrOnly=cr\n"
    "Days=1,5";

TEST_F(IniFileTest, ReadsHandEditedFileAsTheProfileFunctionsDo) {
  Put(HandEdited);
  const TIniFile ini(path_);
  const struct {
    std::string_view section, key, value;
  } cases[] = {
      {"OrdavaDB", "ServerName", "server01"},
      {"ordavadb", "SERVERNAME", "server01"},
      {" OrdavaDB ", "ServerName", "server01"},
      {"OrdavaDB", "noequals line", "DEF"},
      {"OrdavaDB", "LocalHost", "DEF"},
      {"OrdavaDB", "DatabaseName", "C:\\Data\\Ordava.fdb"},
      {"OrdavaDB", "Quoted2", "x"},
      {"OrdavaDB", "Mixed", "\"x'"},
      {"OrdavaDB", "Lone", "\""},
      {"OrdavaDB", "Tabbed", "v"},
      {"OrdavaDB", "Dup", "first"},
      {"OrdavaDB", "OnlyHere", "DEF"},  // only the first of two equal sections counts
      {"OrdavaDB", "Empty", ""},
      {"OrdavaDB", "Missing", "DEF"},
      {"Nowhere", "Foo", "DEF"},
      {"Settings", "LfOnly", "lf"},
      {"Settings", "CrOnly", "cr"},
      {"Settings", "Days", "1,5"},
  };
  for (const auto& c : cases) EXPECT_EQ(ini.ReadString(c.section, c.key, "DEF"), c.value) << c.key;
}

TEST_F(IniFileTest, WritesTouchOnlyTheirOwnLine) {
  Put(HandEdited);
  TIniFile ini(path_);
  ini.WriteString("ORDAVADB", "dup", "NEW");
  ini.WriteString("OrdavaDB", "OnlyHere", "W2");
  ini.WriteString("Settings", "Added", "A");
  ini.WriteString("New", "n", "C");
  ini.WriteString("OrdavaDB", "ServerName", "srv");
  EXPECT_EQ(Bytes(), HandEdited) << "nothing reaches the file before UpdateFile";
  ini.UpdateFile();
  std::string expected = HandEdited;
  auto replace = [&](const std::string& from, const std::string& to) {
    expected.replace(expected.find(from), from.size(), to);
  };
  replace("Dup=first", "Dup=NEW");
  replace("Empty=\r\n", "Empty=\r\nOnlyHere=W2\r\n");
  replace("ServerName  =  server01  ", "ServerName  =srv");
  expected += "\r\nAdded=A\r\n[New]\r\nn=C\r\n";
  EXPECT_EQ(Bytes(), expected);
}

TEST_F(IniFileTest, CreatesMissingFileAndSections) {
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("Backups", "BackupCount", "5"), "5");
  EXPECT_FALSE(fs::FileExists(path_)) << "reading creates no file";
  ini.WriteString("OrdavaDB", "ServerName", "localhost");
  ini.WriteBool("OrdavaDB", "LocalHost", true);
  ini.WriteInteger("UserInterface", "IconSet", -2);
  ini.WriteBool("OrdavaDB", "LocalHost", false);
  ini.UpdateFile();
  EXPECT_EQ(Bytes(),
            "[OrdavaDB]\r\nServerName=localhost\r\nLocalHost=N\r\n[UserInterface]\r\nIconSet=-2\r\n");
}

TEST_F(IniFileTest, CzechTextIsWindows1250OnDiskAndSurvivesARoundTrip) {
  TIniFile ini(path_);
  const std::string path = "C:\\Zálohy\\Účetní data ěščřžýáíé ĚŠČŘŽÝÁÍÉ ůÚ";
  ini.WriteString("Backups", "BackupPath", path);
  EXPECT_EQ(ini.ReadString("Backups", "BackupPath", ""), path);
  ini.UpdateFile();
  EXPECT_EQ(Bytes(), "[Backups]\r\nBackupPath=C:\\Z\xE1lohy\\\xDA\xE8" "etn\xED data "
                     "\xEC\x9A\xE8\xF8\x9E\xFD\xE1\xED\xE9 \xCC\x8A\xC8\xD8\x8E\xDD\xC1\xCD\xC9 \xF9\xDA\r\n");
}

TEST_F(IniFileTest, Utf8ByteOrderMarkKeepsTheFileUtf8) {
  Put("\xEF\xBB\xBF[OrdavaDB]\r\nServerName=\xC5\x99\r\n");
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("OrdavaDB", "ServerName", ""), "ř");
  ini.WriteString("OrdavaDB", "DatabaseName", "ž.fdb");
  ini.UpdateFile();
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[OrdavaDB]\r\nServerName=\xC5\x99\r\nDatabaseName=\xC5\xBE.fdb\r\n");
}

// A Linux admin's UTF-8 editor writes no byte-order mark; anything that is not
// well-formed UTF-8 is Windows-1250, and on Windows every unmarked file is.
TEST_F(IniFileTest, UnmarkedUtf8IsReadAsUtf8OnLinux) {
#ifdef _WIN32
  constexpr bool utf8OnThisPlatform = false;
#else
  constexpr bool utf8OnThisPlatform = true;
#endif
  const std::pair<std::string_view, bool> cases[] = {
      {"/srv/z\xC3\xA1lohy/\xC4\x8D", true},  // zálohy/č
      {"/srv/z\xE1lohy/", false},             // Windows-1250
      {"\xC0\xA1", false},                    // overlong
      {"\xED\xA0\x80", false},                // a surrogate
      {"\xF4\x90\x80\x80", false},            // beyond U+10FFFF
      {"\xC3", false},                        // cut short
  };
  for (const auto& [value, utf8] : cases) {
    Put("[Backups]\r\nBackupPath=" + std::string(value) + "\r\n");
    const bool asUtf8 = utf8 && utf8OnThisPlatform;
    EXPECT_EQ(TIniFile(path_).ReadString("Backups", "BackupPath", ""),
              asUtf8 ? std::string(value) : Cp1250ToUtf8(value)) << value;
  }
  Put("[Backups]\r\nBackupPath=/srv/z\xC3\xA1lohy/\r\n");
  TIniFile ini(path_);
  ini.WriteString("Backups", "LastRun", "09.12.2026 18:30:00");
  ini.WriteString("OrdavaDB", "DatabaseName", "ž.fdb");
  ini.UpdateFile();
  EXPECT_EQ(Bytes(), std::string("[Backups]\r\nBackupPath=/srv/z\xC3\xA1lohy/\r\nLastRun=09.12.2026 18:30:00\r\n"
                                 "[OrdavaDB]\r\nDatabaseName=") +
                         (utf8OnThisPlatform ? "\xC5\xBE" : "\x9E") + ".fdb\r\n");
  // Windows-1250 "ČŠ" pairs up as UTF-8; once "á" is written away it still reads "ČŠ".
  Put("[S]\r\nA=\xC8\x8A\r\nB=\xE1\r\n");
  TIniFile cp1250(path_);
  cp1250.WriteString("S", "B", "x");
  cp1250.UpdateFile();
  EXPECT_EQ(TIniFile(path_).ReadString("S", "A", ""), "ČŠ");
}

TEST_F(IniFileTest, IntegersAndBooleans) {
  Put("[S]\r\nDec=42\r\nHex=0x1F\r\nHexUp=0X10\r\nDollar=$A\r\nBad=12a\r\nEmpty=\r\nBig=99999999999\r\n"
      "y=y\r\na=a\r\nY=Y\r\nN=N\r\nOne=1\r\nYes=YES\r\nAno=ano\r\nB0=\r\n");
  const TIniFile ini(path_);
  const std::pair<std::string_view, int32_t> integers[] = {
      {"Dec", 42}, {"Hex", 31}, {"HexUp", 16}, {"Dollar", 10}, {"Bad", 7}, {"Empty", 7},
      {"Big", 7}, {"Missing", 7}};
  for (const auto& [key, value] : integers) EXPECT_EQ(ini.ReadInteger("S", key, 7), value) << key;
  const std::pair<std::string_view, bool> booleans[] = {
      {"y", true}, {"a", true}, {"Y", true}, {"N", false}, {"One", false},
      {"Yes", false}, {"Ano", false}, {"B0", false}};
  for (const auto& [key, value] : booleans) EXPECT_EQ(ini.ReadBool("S", key, "Y"), value) << key;
  EXPECT_TRUE(ini.ReadBool("S", "Missing", "A"));
  EXPECT_FALSE(ini.ReadBool("S", "Missing", "N"));
}

TEST_F(IniFileTest, LongValuesAreCutAndLineBreaksCannotInjectKeys) {
  TIniFile ini(path_);
  ini.WriteString("S", "Long", std::string(3000, 'x') + "ž");
  EXPECT_EQ(ini.ReadString("S", "Long", ""), std::string(2047, 'x'));
  ini.WriteString("S", "Path", "a\r\n[Evil]\r\nk=v");
  EXPECT_EQ(ini.ReadString("Evil", "k", "none"), "none");
  EXPECT_EQ(ini.ReadString("S", "Path", ""), "a  [Evil]  k=v");
}

TEST_F(IniFileTest, GarbageFilesLoadWithoutCrash) {
  const std::string garbage[] = {
      std::string("\0\0\0[S]\0=\0", 9), "[", "]", "=", "[S", "[S]=", "[]\r\n=x", "\xFF\xFE[\0S\0]\0",
      "\xEF\xBB", "[S]\r\nk", "[S]\r\nk=\"", std::string(10000, '['), "\r\r\r\n\n\n=\r=\n"};
  for (const auto& bytes : garbage) {
    Put(bytes);
    TIniFile ini(path_);
    EXPECT_NO_THROW(ini.ReadString("S", "k", ""));
    EXPECT_NO_THROW(ini.ReadInteger("S", "k", 1));
    EXPECT_NO_THROW(ini.WriteString("S", "k", "v"));
    EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
  }
}

TEST_F(IniFileTest, FailedWriteNamesTheFile) {
  const std::string folder = (dir_ / "missing" / "x.ini").string();
  TIniFile ini(folder);
  ini.WriteString("S", "k", "v");
  try {
    ini.UpdateFile();
    FAIL() << "no error";
  } catch (const EIniFileError& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + folder);
  }
  TIniFile isFolder(dir_.string());
  isFolder.WriteString("S", "k", "v");
  EXPECT_THROW(isFolder.UpdateFile(), EIniFileError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 0) << "a temporary file was left";
}

// The whole file is replaced at once, and only when something was written; a
// file in memory only is never written anywhere.
TEST_F(IniFileTest, UpdateFileReplacesTheFileOnceAndOnlyAfterAWrite) {
  Put("[S]\r\nk=old\r\n");
  TIniFile reader(path_);
  Put("[S]\r\nk=changed by another program\r\n");
  reader.UpdateFile();
  EXPECT_EQ(Bytes(), "[S]\r\nk=changed by another program\r\n") << "nothing written, nothing replaced";
  TIniFile memory;
  memory.WriteString("S", "k", "v");
  memory.UpdateFile();
  EXPECT_EQ(memory.Bytes(), "[S]\r\nk=v\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

// A file that could not be written in place is not replaced either, and the
// temporary file goes again.
TEST_F(IniFileTest, ReadOnlyFileRaisesAndStaysAsItWas) {
  Put("[S]\r\nk=old\r\n");
  std::filesystem::permissions(path_, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                          std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  TIniFile ini(path_);
  ini.WriteString("S", "k", "new");
  if (std::ofstream(path_, std::ios::app)) {
    std::filesystem::permissions(path_, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    GTEST_SKIP() << "this user writes read-only files (root)";
  }
  EXPECT_THROW(ini.UpdateFile(), EIniFileError);
  EXPECT_EQ(Bytes(), "[S]\r\nk=old\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

#ifndef _WIN32
// A linked configuration is replaced where it lives, and keeps its mode.
TEST_F(IniFileTest, UpdateFileFollowsALinkAndKeepsTheMode) {
  const std::string real = (dir_ / "real.ini").string();
  ASSERT_TRUE(fs::WriteFile(real, "[S]\r\nk=old\r\n"));
  std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::create_symlink(real, path_);
  TIniFile ini(path_);
  ini.WriteString("S", "k", "new");
  ini.UpdateFile();
  EXPECT_TRUE(std::filesystem::is_symlink(path_));
  EXPECT_EQ(fs::ReadFile(real), "[S]\r\nk=new\r\n");
  EXPECT_EQ(std::filesystem::status(real).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}
#endif

}  // namespace
}  // namespace odb

namespace odb {
namespace {

// Random files built from the characters the syntax cares about: a write must
// change its own key and nothing another read can see.
TEST_F(IniFileTest, RandomFilesKeepEveryOtherValueThroughAWrite) {
  const std::string alphabet = std::string("[]=\r\n \t;\"'s1k2S", 15) + std::string("\0\xFF\x9A", 3);
  uint32_t seed = 12345;
  auto next = [&] { return (seed = seed * 1103515245 + 12345) >> 16; };
  const std::pair<std::string_view, std::string_view> keys[] = {
      {"s1", "k1"}, {"S1", "k2"}, {"s2", "k1"}, {"s2", "k2"}, {"s", "k"}};
  for (int round = 0; round < 150; ++round) {
    std::string bytes;
    for (uint32_t n = next() % 60; n > 0; --n) bytes += alphabet[next() % alphabet.size()];
    Put(bytes);
    TIniFile ini(path_);
    const auto& target = keys[next() % std::size(keys)];
    std::vector<std::string> before;
    for (const auto& [s, k] : keys) before.push_back(ini.ReadString(s, k, "-"));
    ini.WriteString(target.first, target.second, "new");
    for (size_t i = 0; i < std::size(keys); ++i) {
      const auto& [s, k] = keys[i];
      const bool same = SameKey(keys[i], target);
      EXPECT_EQ(ini.ReadString(s, k, "-"), same ? "new" : before[i]) << round << ": " << s << "." << k;
    }
  }
}

}  // namespace
}  // namespace odb
