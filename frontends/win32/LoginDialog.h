#pragma once
// The tray's "Přihlašovací údaje…" dialog: user name, password, OK/Storno.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/Application.h"

namespace odb::win {

inline constexpr int kLoginUserEdit = 101;
inline constexpr int kLoginPasswordEdit = 102;

// Modal over owner; the user name comes filled in, the password empty.
std::optional<TLoginEntry> AskLogin(HINSTANCE instance, HWND owner, const std::string& userName);

}  // namespace odb::win
