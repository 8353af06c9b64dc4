#include <windows.h>

#include "service/FbClient.h"
#include "service/ServiceErrors.h"
#include "common/FileSystem.h"
#include "common/Utf16_win.h"

#include <gtest/gtest.h>

namespace odb {
namespace {

// Moves the scripted fbclient.dll built beside the test program out of the
// way, so the search finds nothing (Wine has no Firebird client of its own).
class LibraryAside {
 public:
  LibraryAside() {
    const std::string exe = fs::ExecutablePath();
    path_ = Widen(exe.substr(0, exe.find_last_of("\\/") + 1) + "fbclient.dll");
    moved_ = MoveFileExW(path_.c_str(), (path_ + L".aside").c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  ~LibraryAside() {
    if (moved_) MoveFileExW((path_ + L".aside").c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  LibraryAside(const LibraryAside&) = delete;
  LibraryAside& operator=(const LibraryAside&) = delete;

 private:
  std::wstring path_;
  BOOL moved_ = FALSE;
};

TEST(FbClientLoad, MissingLibraryNamesWhatWasTried) {
  if (GetModuleHandleW(L"fbclient.dll")) GTEST_SKIP() << "a test before has loaded the library";
  LibraryAside aside;
  try {
    (void)LoadFbLibrary();
    GTEST_SKIP() << "a Firebird client library is installed here";
  } catch (const EServiceClientError& e) {
    EXPECT_EQ(e.Message(),
              "Firebird client library fbclient.dll / gds32.dll not found in the path. "
              "Please install the Firebird client to use this functionality");
  }
}

TEST(FbClientLoad, TheLibraryBesideTheProgramComesFirst) {
  const FbLibrary library = LoadFbLibrary();
  const std::string exe = fs::ExecutablePath();
  EXPECT_EQ(library.name, exe.substr(0, exe.find_last_of("\\/") + 1) + "fbclient.dll");
  FreeLibrary(static_cast<HMODULE>(library.handle));
}

}  // namespace
}  // namespace odb
