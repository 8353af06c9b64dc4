#pragma once
// The platform's dialogs behind the settings window's browse buttons.
#include <windows.h>
// The model's TApplication::PostMessage is not the API macro.
#undef PostMessage

#include <optional>
#include <string>

namespace odb {
class TApplication;
class TOpenDialog;
}  // namespace odb

namespace odb::win {

// The filter with "|" between display text and pattern, as GetOpenFileNameW takes it.
std::wstring OpenDialogFilter(const std::string& filter);
std::optional<std::string> ExecuteOpenDialog(HWND owner, const TOpenDialog& dialog);
// The shell's computer browser rooted at the network neighbourhood.
std::optional<std::string> BrowseForComputer(HWND owner, const std::string& instruction);
// The classic folder chooser with an edit box; a typed folder that does not
// exist is created, with its parents, after the user agrees.
std::optional<std::string> SelectDirectory(TApplication& app, HWND owner);
// A folder typed in the chooser, made absolute against the selected folder.
std::string TypedFolder(const std::string& typed, const std::string& selected);

}  // namespace odb::win
