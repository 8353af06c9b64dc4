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
struct TFolderDialog;
}  // namespace odb

namespace odb::win {

// The filter with "|" between display text and pattern, as GetOpenFileNameW takes it.
std::wstring OpenDialogFilter(const std::string& filter);
std::optional<std::string> ExecuteOpenDialog(HWND owner, const TOpenDialog& dialog);
// The shell's computer browser rooted at the network neighbourhood.
std::optional<std::string> BrowseForComputer(HWND owner, const std::string& instruction);
// The system's folder picker, titled and opened at the dialog's folder; the
// classic chooser with an edit box and the prompt where the system has no
// picker. A chosen folder that does not exist is created, with its parents,
// after the user agrees.
std::optional<std::string> SelectFolder(TApplication& app, HWND owner, const TFolderDialog& dialog);
std::optional<std::string> SelectFolderClassic(TApplication& app, HWND owner, const TFolderDialog& dialog);
// The folder a chooser opens at: the text's folder, or the nearest one above
// it that exists; empty when none does.
std::string StartFolder(const std::string& text);
// A folder typed in the chooser, made absolute against the selected folder.
std::string TypedFolder(const std::string& typed, const std::string& selected);

}  // namespace odb::win
