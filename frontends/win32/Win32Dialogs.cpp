#include "frontends/win32/Win32Dialogs.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <memory>
#include <vector>

#include "common/FileSystem.h"
#include "common/Text.h"
#include "common/Utf16_win.h"
#include "platform/Application.h"
#include "platform/FolderDialog.h"
#include "platform/OpenDialog.h"
#include "frontends/win32/Win32Texts.h"

namespace odb::win {
namespace {

std::string PidlPath(PIDLIST_ABSOLUTE pidl) {
  wchar_t path[MAX_PATH] = L"";
  if (!pidl || !SHGetPathFromIDListW(pidl, path)) return {};
  return Narrow(path);
}

// A folder the user chose that does not exist yet is created, with its
// parents, once the user agrees; false sends the user back to the chooser.
bool AcceptFolder(TApplication& app, const std::string& folder) {
  if (fs::DirectoryExists(folder)) return true;
  if (!app.Confirm(std::string(msg::CreateFolder))) return false;
  // A folder that cannot be created is still the user's choice.
  (void)fs::CreateDirectories(folder);
  return true;
}

struct TFolderChoice {
  TApplication& app;
  std::wstring start;
  std::string selected;
  std::optional<std::string> typed;
};

int CALLBACK FolderCallback(HWND dialog, UINT msg, LPARAM lParam, LPARAM data) {
  auto& choice = *reinterpret_cast<TFolderChoice*>(data);
  if (msg == BFFM_INITIALIZED && !choice.start.empty()) {
    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(choice.start.c_str()));
    return 0;
  }
  if (msg == BFFM_SELCHANGED) {
    choice.selected = PidlPath(reinterpret_cast<PIDLIST_ABSOLUTE>(lParam));
    return 0;
  }
  if (msg != BFFM_VALIDATEFAILEDW) return 0;
  const std::string folder = TypedFolder(Narrow(reinterpret_cast<const wchar_t*>(lParam)), choice.selected);
  if (folder.empty() || !AcceptFolder(choice.app, folder)) return 1;  // back to the chooser
  choice.typed = folder;
  return 0;
}

template <class T>
struct TComReleased {
  void operator()(T* p) const { p->Release(); }
};
template <class T>
using TComPtr = std::unique_ptr<T, TComReleased<T>>;

std::string ItemPath(IShellItem* item) {
  PWSTR path = nullptr;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) return {};
  // Wine's picker hands back a typed "." or ".." as it was typed ("D:\\Zalohy\\.").
  wchar_t full[MAX_PATH] = L"";
  const DWORD length = GetFullPathNameW(path, MAX_PATH, full, nullptr);
  std::string folder = Narrow(length > 0 && length < MAX_PATH ? full : path);
  CoTaskMemFree(path);
  return folder;
}

void OpenAt(IFileDialog& picker, const std::string& folder) {
  if (folder.empty()) return;
  IShellItem* item = nullptr;
  if (FAILED(SHCreateItemFromParsingName(Widen(folder).c_str(), nullptr, IID_PPV_ARGS(&item)))) return;
  TComPtr<IShellItem> held(item);
  picker.SetFolder(item);
}

// Nothing when the system has no such picker; else the choice, empty when cancelled.
std::optional<std::optional<std::string>> PickFolder(TApplication& app, HWND owner,
                                                     const TFolderDialog& dialog) {
  IFileDialog* raw = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&raw)))) {
    return std::nullopt;
  }
  TComPtr<IFileDialog> picker(raw);
  FILEOPENDIALOGOPTIONS options = 0;
  picker->GetOptions(&options);
  // Without "path must exist" the user may name a new folder, which AcceptFolder offers to make.
  picker->SetOptions((options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR) & ~FOS_PATHMUSTEXIST);
  picker->SetTitle(Widen(dialog.Title).c_str());
  OpenAt(*picker, StartFolder(dialog.Folder));
  for (;;) {
    if (picker->Show(owner) != S_OK) return std::optional<std::string>{};
    IShellItem* item = nullptr;
    if (FAILED(picker->GetResult(&item))) return std::optional<std::string>{};
    TComPtr<IShellItem> held(item);
    const std::string folder = ItemPath(item);
    if (folder.empty()) return std::optional<std::string>{};
    if (AcceptFolder(app, folder)) return std::optional<std::string>{folder};
  }
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

std::string StartFolder(const std::string& text) {
  std::string folder(TrimRight(text, TBlanks::Space));
  while (!folder.empty() && !fs::DirectoryExists(folder)) {
    const auto cut = folder.find_last_of("\\/");
    if (cut == std::string::npos) return {};
    std::string parent = folder.substr(0, cut);
    // "C:" alone is the current folder of drive C, not its root.
    if (parent.size() == 2 && parent[1] == ':') parent += '\\';
    if (parent == folder) return {};  // a drive that is not there
    folder = std::move(parent);
  }
  return folder;
}

std::optional<std::string> SelectFolderClassic(TApplication& app, HWND owner, const TFolderDialog& dialog) {
  TFolderChoice choice{app, Widen(StartFolder(dialog.Folder)), {}, std::nullopt};
  const std::wstring prompt = Widen(dialog.Prompt);
  wchar_t name[MAX_PATH] = L"";
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pszDisplayName = name;
  info.lpszTitle = prompt.c_str();
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

std::optional<std::string> SelectFolder(TApplication& app, HWND owner, const TFolderDialog& dialog) {
  // The program initialises COM at start; a caller that did not still gets the picker.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  struct TComScope {
    bool ours;
    ~TComScope() {
      if (ours) CoUninitialize();
    }
  } scope{SUCCEEDED(com)};
  if (auto picked = PickFolder(app, owner, dialog)) return *picked;
  return SelectFolderClassic(app, owner, dialog);
}

}  // namespace odb::win
