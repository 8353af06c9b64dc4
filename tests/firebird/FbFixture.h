#pragma once
// A throw-away Firebird database made with the command-line tools, for tests
// against the real embedded engine and the local server.
#include <string>

namespace odb::test {

class FbTempDir {
 public:
  FbTempDir();
  ~FbTempDir();
  FbTempDir(const FbTempDir&) = delete;
  FbTempDir& operator=(const FbTempDir&) = delete;
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

// Runs a shell command; returns its standard output and error, and the exit code.
int RunCommand(const std::string& command, std::string* output = nullptr);
// Runs SQL through embedded isql-fb (user SYSDBA); database may be empty when the
// script itself creates one.
std::string RunIsql(const std::string& database, const std::string& sql);
// A database with table T of `rows` rows.
void CreateTestDatabase(const std::string& path, int rows);
int CountRows(const std::string& path);
// gbak -c, embedded.
void RestoreBackup(const std::string& backup, const std::string& database);
// Whether the local server answers on 127.0.0.1:3050.
bool ServerAnswers();

inline constexpr const char* kServerPassword = "pinewharf";

}  // namespace odb::test
