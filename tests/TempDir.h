#pragma once
// A fresh folder per test, removed with everything in it afterwards. Paths are
// UTF-8 as the program's own.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>

namespace odb::test {

inline std::string Utf8(const std::filesystem::path& p) {
  const auto u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

inline std::filesystem::path FromUtf8(const std::string& s) {
  return std::filesystem::path(std::u8string(s.begin(), s.end()));
}

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("odb-test-" + std::to_string(tick) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string Str() const { return Utf8(path_); }
  // A name inside the folder, as a UTF-8 path text.
  std::string operator/(const std::string& name) const { return Utf8(path_ / FromUtf8(name)); }

 private:
  std::filesystem::path path_;
};

// Folder contents: file name -> bytes, folders shown as "<dir>".
inline std::map<std::string, std::string> Listing(const std::filesystem::path& dir) {
  std::map<std::string, std::string> out;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = Utf8(entry.path().filename());
    if (entry.is_directory()) {
      out[name] = "<dir>";
    } else {
      std::ifstream in(entry.path(), std::ios::binary);
      out[name] = std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return out;
}

inline void Put(const std::filesystem::path& dir, const std::string& name, const std::string& bytes) {
  if (bytes == "<dir>") {
    std::filesystem::create_directories(dir / FromUtf8(name) / "inside");
    return;
  }
  std::ofstream(dir / FromUtf8(name), std::ios::binary) << bytes;
}

}  // namespace odb::test
