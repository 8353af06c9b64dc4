#include "platform/win32/Win32Dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "common/FileSystem.h"
#include "common/Text.h"
#include "common/Utf16_win.h"
#include "platform/Application.h"
#include "platform/OpenDialog.h"
#include "platform/win32/Win32Texts.h"

namespace odb::win {
namespace {

std::string PidlPath(PIDLIST_ABSOLUTE pidl) {
  wchar_t path[MAX_PATH] = L"";
  if (!pidl || !SHGetPathFromIDListW(pidl, path)) return {};
  return Narrow(path);
}

struct TFolderChoice {
  TApplication& app;
  std::string selected;
  std::optional<std::string> typed;
};

int CALLBACK FolderCallback(HWND dialog, UINT msg, LPARAM lParam, LPARAM data) {
  auto& choice = *reinterpret_cast<TFolderChoice*>(data);
  if (msg == BFFM_SELCHANGED) {
    choice.selected = PidlPath(reinterpret_cast<PIDLIST_ABSOLUTE>(lParam));
    return 0;
  }
  if (msg != BFFM_VALIDATEFAILEDW) return 0;
  const std::string folder = TypedFolder(Narrow(reinterpret_cast<const wchar_t*>(lParam)), choice.selected);
  (void)dialog;
  if (folder.empty()) return 1;
  if (!fs::DirectoryExists(folder)) {
    if (!choice.app.Confirm(std::string(msg::CreateFolder))) return 1;  // back to the chooser
    // A folder that cannot be created is still the user's choice.
    (void)fs::CreateDirectories(folder);
  }
  choice.typed = folder;
  return 0;
}

}  // namespace

std::wstring OpenDialogFilter(const std::string& filter) {
  std::wstring out = Widen(filter);
  for (wchar_t& c : out) {
    if (c == L'|') c = L'\0';
  }
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

std::optional<std::string> ExecuteOpenDialog(HWND owner, const TOpenDialog& dialog) {
  const std::wstring filter = OpenDialogFilter(dialog.Filter);
  const std::wstring title = Widen(dialog.Title);
  const std::wstring defExt = Widen(dialog.DefaultExt);
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring initial = Widen(dialog.FileName);
  initial.copy(file.data(), std::min(initial.size(), file.size() - 1));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR |
              (dialog.PathMustExist ? OFN_PATHMUSTEXIST : 0);
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return Narrow(file.data());
}

std::optional<std::string> BrowseForComputer(HWND owner, const std::string& instruction) {
  PIDLIST_ABSOLUTE network = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_NETWORK, &network))) network = nullptr;
  wchar_t name[MAX_PATH] = L"";
  const std::wstring title = Widen(instruction);
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = network;
  info.pszDisplayName = name;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_BROWSEFORCOMPUTER;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  CoTaskMemFree(network);
  if (!chosen) return std::nullopt;
  CoTaskMemFree(chosen);
  return Narrow(name);
}

std::string TypedFolder(const std::string& typed, const std::string& selected) {
  std::string folder(TrimRight(typed, TBlanks::Space));
  const bool absolute = (folder.size() >= 2 && folder[1] == ':') ||
                        (!folder.empty() && (folder[0] == '\\' || folder[0] == '/'));
  if (absolute || selected.empty()) return folder;
  if (selected.back() == '\\') return selected + folder;
  return selected + "\\" + folder;
}

std::optional<std::string> SelectDirectory(TApplication& app, HWND owner) {
  TFolderChoice choice{app, {}, std::nullopt};
  wchar_t name[MAX_PATH] = L"";
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pszDisplayName = name;
  // The classic look: a tree and an edit box, no "new folder" button.
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;
  info.lpfn = FolderCallback;
  info.lParam = reinterpret_cast<LPARAM>(&choice);
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (choice.typed) {
    CoTaskMemFree(chosen);
    return choice.typed;
  }
  if (!chosen) return std::nullopt;
  const std::string path = PidlPath(chosen);
  CoTaskMemFree(chosen);
  if (path.empty()) return std::nullopt;
  return path;
}

}  // namespace odb::win
