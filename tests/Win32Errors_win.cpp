// The reason a failed Win32 call gives: the call's name and the system's text
// for the error code, without the line break the system ends it with.
#include "frontends/win32/Win32Errors.h"

#include <gtest/gtest.h>

#include "common/Errors.h"

namespace odb {
namespace {

TEST(Win32Errors, NameTheCallAndTheSystemsReason) {
  const struct {
    DWORD code;
    const char* call;
    bool systemText;
  } cases[] = {
      {ERROR_CLASS_ALREADY_EXISTS, "RegisterClassExW", true},
      {ERROR_NOT_ENOUGH_MEMORY, "CreateWindowExW", true},
      {0x2000FFFF, "Shell_NotifyIconW", false},  // no text for it: the number
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    SetLastError(c.code);
    const std::string text = win::LastErrorText(c.call);
    EXPECT_EQ(text.rfind(std::string(c.call) + " selhalo: ", 0), 0u) << text;
    EXPECT_GT(text.size(), std::string(c.call).size() + 10) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    if (!c.systemText) {
      EXPECT_NE(text.find(std::to_string(c.code)), std::string::npos) << text;
    }
  }
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_THROW(win::ThrowLastError("CreateWindowExW"), Exception);
}

}  // namespace
}  // namespace odb
