#include "common/FileSystem.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <iterator>

#include "common/Utf16_win.h"

namespace odb::fs {
namespace {

bool WriteAll(HANDLE h, const std::string& bytes) {
  bool ok = true;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    ok = ::WriteFile(h, bytes.data() + done, chunk, &written, nullptr) && written == chunk;
    done += written;
  }
  return ok;
}

bool WriteWithDisposition(const std::string& path, const std::string& bytes, DWORD disposition,
                          bool append) {
  HANDLE h = CreateFileW(Widen(path).c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                         FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = WriteAll(h, bytes);
  return CloseHandle(h) && ok;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }

}  // namespace

char PathDelimiter() { return '\\'; }

bool FileNamesIgnoreCase() { return true; }

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  const DWORD attributes = Attributes(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  const std::string temporary = path + ".~" + std::to_string(GetCurrentProcessId()) + ".tmp";
  const std::wstring wide = Widen(temporary);
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(h, bytes);
  ok = FlushFileBuffers(h) && ok;
  ok = CloseHandle(h) && ok;
  // Write-through: the call returns once the new name is on the disk.
  if (!ok || !MoveFileExW(wide.c_str(), Widen(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(wide.c_str());
    return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool EntryExists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsPlainFile(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

bool FolderReadable(const std::string& path) {
  std::wstring pattern = Widen(path.empty() ? "." : path);
  if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW((pattern + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return true;
}

bool MakePrivate(const std::string&) { return true; }

bool MakeGroupReadable(const std::string&) { return true; }

bool RemoveFile(const std::string& path) { return DeleteFileW(Widen(path).c_str()); }

bool RenameNoReplace(const std::string& from, const std::string& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails on an existing destination.
  return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0);
}

bool CreateDirectories(const std::string& path) {
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  const auto cut = path.find_last_of("\\/", path.size() - 2);
  if (cut != std::string::npos && cut > 0 && path[cut - 1] != ':') CreateDirectories(path.substr(0, cut));
  return CreateDirectoryW(Widen(path).c_str(), nullptr) || DirectoryExists(path);
}

std::optional<std::string> ReadFile(const std::string& path) {
  HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  // The log view reads the whole log on every entry; growing the string
  // chunk by chunk would copy a large log many times over.
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0) bytes.reserve(static_cast<size_t>(size.QuadPart));
  char buf[65536];
  DWORD n = 0;
  bool ok = true;
  while ((ok = ::ReadFile(h, buf, sizeof buf, &n, nullptr)) && n > 0) bytes.append(buf, n);
  CloseHandle(h);
  if (!ok) return std::nullopt;
  return bytes;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  return WriteWithDisposition(path, bytes, CREATE_ALWAYS, false);
}

bool AppendFile(const std::string& path, const std::string& bytes) {
  return WriteWithDisposition(path, bytes, OPEN_ALWAYS, true);
}

bool AppendExistingFile(const std::string& path, const std::string& bytes) {
  return WriteWithDisposition(path, bytes, OPEN_EXISTING, true);
}

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::wstring pattern = Widen(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW((pattern + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(Narrow(data.cFileName));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

std::string ExecutablePath() {
  wchar_t buf[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
  return Narrow(std::wstring_view(buf, n));
}

std::FILE* OpenForReading(const std::string& path) { return _wfopen(Widen(path).c_str(), L"rb"); }

std::FILE* CreateNewFile(const std::string& path) {
  HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(h);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "wb");
  if (!file) _close(fd);
  return file;
}

bool SyncFile(std::FILE* file) {
  return std::fflush(file) == 0 &&
         FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

}  // namespace odb::fs
