#pragma once
// File access of the program's own process. Paths are UTF-8; the Windows twin
// converts them to UTF-16 at the API, so Czech folder names work everywhere.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace odb::fs {

// The platform's path delimiter ("\" on Windows, "/" elsewhere).
char PathDelimiter();
// True for a regular file (not a folder).
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
bool RemoveFile(const std::string& path);
// Whether anything at all has the name: a file, a folder, a dangling link.
// Links are not followed.
bool EntryExists(const std::string& path);
// True for a regular file reached without a symbolic link (nor, on Windows,
// a reparse point): what the program made itself, never what a link points to.
bool IsPlainFile(const std::string& path);
// Whether the folder's entries can be listed.
bool FolderReadable(const std::string& path);
// Owner read and write only (POSIX); on Windows the file keeps its folder's
// rights and this does nothing. False when the mode could not be set.
bool MakePrivate(const std::string& path);
// Owner read and write, group read (POSIX): a file of the program's that a
// server in the folder's group must read. Does nothing on Windows.
bool MakeGroupReadable(const std::string& path);
// Never replaces an existing destination: fails instead.
bool RenameNoReplace(const std::string& from, const std::string& to);
// Creates the folder with all missing parents.
bool CreateDirectories(const std::string& path);
// The whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);
// Replaces the file's content (creating it); false when any step fails.
bool WriteFile(const std::string& path, const std::string& bytes);
// Replaces the file's content in one step that a crash cannot cut in half: a
// temporary file in the same folder, flushed to disk, renamed over the old
// one. False, and the old file untouched, when any step fails or when the old
// file could not be written in place either (read-only).
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);
// True where the file system matches names without regard to case (Windows).
bool FileNamesIgnoreCase();
// Appends bytes at the end of an existing or new file; false when any step fails.
bool AppendFile(const std::string& path, const std::string& bytes);
// Appends bytes to a file that exists already; a missing file is not created
// (false), so a log deleted while the program runs stays deleted.
bool AppendExistingFile(const std::string& path, const std::string& bytes);
// Names of the entries in a folder (the path may end with a delimiter); empty
// when it cannot be listed.
std::vector<std::string> ListFiles(const std::string& folder);
// Streams for files too large to hold in memory. Both give nullptr when the
// file cannot be opened; CreateNewFile also when anything has the name already
// (a link is never followed), and makes the file private as MakePrivate does.
std::FILE* OpenForReading(const std::string& path);
std::FILE* CreateNewFile(const std::string& path);
// Flushes the stream and the file's data to the disk; false when either fails.
bool SyncFile(std::FILE* file);
// Full path of the running executable.
std::string ExecutablePath();

}  // namespace odb::fs
