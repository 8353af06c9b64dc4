#include "FbFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace odb::test {

FbTempDir::FbTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "odb-fb-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
  // The server may run under its own account and must write here too.
  chmod(dir_.c_str(), 0777);
}

FbTempDir::~FbTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

int RunCommand(const std::string& command, std::string* output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) throw std::runtime_error("popen failed: " + command);
  std::string text;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string RunIsql(const std::string& database, const std::string& sql) {
  const std::string script = std::filesystem::temp_directory_path().string() + "/odb-isql-" +
                             std::to_string(getpid()) + ".sql";
  std::ofstream(script) << sql;
  std::string output;
  const int rc = RunCommand("isql-fb -q -user sysdba " + database + " -i " + script, &output);
  std::filesystem::remove(script);
  if (rc != 0 || output.find("Statement failed") != std::string::npos) {
    throw std::runtime_error("isql-fb failed: " + output);
  }
  return output;
}

void CreateTestDatabase(const std::string& path, int rows) {
  RunIsql("", "create database '" + path + "' user 'SYSDBA';\n"
              "create table T (ID integer not null primary key, NAME varchar(40));\n"
              "commit;\n"
              "set term ^;\n"
              "execute block as declare i integer = 0; begin\n"
              "  while (i < " + std::to_string(rows) + ") do begin\n"
              "    insert into T values (:i, 'row ' || :i); i = i + 1; end\n"
              "end^\n"
              "set term ;^\n"
              "commit;\n");
  chmod(path.c_str(), 0666);
}

int CountRows(const std::string& path) {
  const std::string out = RunIsql(path, "set heading off;\nselect count(*) from T;\n");
  return std::stoi(out.substr(out.find_first_of("0123456789")));
}

void RestoreBackup(const std::string& backup, const std::string& database) {
  std::string output;
  if (RunCommand("gbak -c " + backup + " " + database + " -user sysdba", &output) != 0) {
    throw std::runtime_error("gbak -c failed: " + output);
  }
}

bool ServerAnswers() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(3050);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(s);
  return ok;
}

}  // namespace odb::test
