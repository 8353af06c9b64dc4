#include "backup/Restore.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "backup/BackupTexts.h"
#include "backup/RestoreWatch.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "common/Gzip.h"

namespace odb {
namespace {

namespace stdfs = std::filesystem;

stdfs::path Utf8Path(std::string text) {
  // Both delimiters: the live path may be a Windows server's, read on Linux.
  std::replace(text.begin(), text.end(), '\\', '/');
  return stdfs::path(std::u8string(text.begin(), text.end()));
}

std::string Folded(const stdfs::path& path) {
  const std::u8string text = path.generic_u8string();
  std::string out(text.begin(), text.end());
  if (fs::FileNamesIgnoreCase()) {
    for (char& c : out) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

// The spellings of one path: as written, tidied, and with the links of the
// part that exists followed.
bool SamePath(const std::string& a, const std::string& b) {
  const stdfs::path pa = Utf8Path(a), pb = Utf8Path(b);
  if (Folded(pa.lexically_normal()) == Folded(pb.lexically_normal())) return true;
  std::error_code ea, eb;
  const stdfs::path ca = stdfs::weakly_canonical(pa, ea), cb = stdfs::weakly_canonical(pb, eb);
  return !ea && !eb && Folded(ca) == Folded(cb);
}

std::string ScratchName(const std::string& prefix, TDateTime now) {
  const std::string base = prefix + "ODBackup_restore_" + FileStamp(now);
  for (int n = 1; n <= 100; ++n) {
    const std::string name = base + (n == 1 ? "" : "_" + std::to_string(n)) + ".fbk";
    if (!fs::EntryExists(name)) return name;
  }
  throw Exception(FormatMsg(msg::RestoreScratchTaken, prefix));
}

// The decompressed copy goes, whatever happens to the restore.
struct TScratchFile {
  std::string path;
  ~TScratchFile() {
    if (!path.empty() && fs::IsPlainFile(path)) (void)fs::RemoveFile(path);
  }
};

std::string Decompressed(const std::string& source, const std::string& scratch) {
  const gzip::TResult result = gzip::DecompressFile(source, scratch);
  if (!result) {
    // The backup folder is named too: it is where the copy is unpacked, and
    // it may be the missing or full one.
    throw Exception(FormatMsg(msg::RestoreNotUnpacked, source) + FormatMsg(msg::RestoreUnpackedInto, scratch) +
                    (result.detail.empty() ? "" : ": " + result.detail));
  }
  // The server reads it, and on Linux it runs as a user of the folder's group.
  (void)fs::MakeGroupReadable(scratch);
  return scratch;
}

}  // namespace

std::string FileStamp(TDateTime value) {
  const std::string stamp = FormatDateTime(value);  // dd.mm.yyyy hh:nn:ss
  return stamp.substr(6, 4) + stamp.substr(3, 2) + stamp.substr(0, 2) + "_" + stamp.substr(11, 2) +
         stamp.substr(14, 2) + stamp.substr(17, 2);
}

std::optional<std::string> RestoreTargetProblem(const std::string& target, const std::string& liveDatabase) {
  if (target.empty()) return std::string(msg::RestoreNoTarget);
  if (!liveDatabase.empty() && SamePath(target, liveDatabase)) return FormatMsg(msg::RestoreIntoLive, target);
  if (fs::EntryExists(target)) return FormatMsg(msg::RestoreTargetExists, target);
  return std::nullopt;
}

bool IsGzipCopy(const std::string& path) {
  if (path.size() <= 3) return false;
  std::string tail = path.substr(path.size() - 3);
  for (char& c : tail) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return tail == ".gz";
}

void RestoreBackup(TRestoreService& service, const TBackUpDatabaseSetings& job, const std::string& source,
                   const std::string& target, const std::string& scratchPrefix, TDateTime now, IMessagePump& pump,
                   IBackupOutput& output) {
  if (const auto problem = RestoreTargetProblem(target, job.DatabaseName)) throw Exception(*problem);
  if (!fs::FileExists(source)) throw Exception(FormatMsg(msg::RestoreSourceMissing, source));
  TScratchFile scratch;
  std::string file = source;
  if (IsGzipCopy(source)) {
    scratch.path = ScratchName(scratchPrefix, now);
    file = Decompressed(source, scratch.path);
  }
  TRestoreOutput watched(output);
  try {
    RunRestore(service, job, file, target, pump, watched);
    if (!watched.Completed()) throw Exception(std::string(msg::UserRestoreIncomplete));
    if (!watched.Damage().empty()) throw Exception(FormatMsg(msg::UserRestoreDamaged, watched.Damage()));
  } catch (...) {
    // Only what this restore created: a name taken meanwhile is not ours.
    if (watched.Created()) DiscardRestored(service, target);
    throw;
  }
}

}  // namespace odb
