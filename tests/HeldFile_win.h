#pragma once
// A file held open by "another program", with the access and sharing given:
// Windows (and Wine) refuse what the sharing mode does not allow.
#include <windows.h>

#include <string>

#include "common/Utf16_win.h"

namespace odb::test {

class HeldFile {
 public:
  HeldFile(const std::string& path, DWORD access, DWORD share)
      : h_(CreateFileW(Widen(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldFile() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

}  // namespace odb::test
