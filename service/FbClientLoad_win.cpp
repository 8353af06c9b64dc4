#include <windows.h>

#include "service/FbClient.h"
#include "service/ServiceErrors.h"
#include "service/ServiceTexts.h"
#include "common/Format.h"
#include "common/Utf16_win.h"

#include <array>
#include <string>

namespace odb {
namespace {

constexpr std::array<const wchar_t*, 2> kLibraryNames = {L"fbclient.dll", L"gds32.dll"};

std::wstring ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

FbLibrary LoadFbLibrary() {
  // The program's own folder first, so a client library shipped beside it wins
  // over whatever another Firebird installation put on the path.
  const std::wstring folder = ExecutableFolder();
  if (!folder.empty()) {
    for (const wchar_t* name : kLibraryNames) {
      std::wstring full = folder + name;
      if (HMODULE h = LoadLibraryExW(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
        return {reinterpret_cast<void*>(h), Narrow(full)};
      }
    }
  }
  for (const wchar_t* name : kLibraryNames) {
    if (HMODULE h = LoadLibraryW(name)) return {reinterpret_cast<void*>(h), Narrow(name)};
  }
  throw EServiceClientError(FormatMsg(msg::FbClientNotFound, "fbclient.dll / gds32.dll"));
}

void* FindFbSymbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

}  // namespace odb
