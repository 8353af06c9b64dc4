#include "backup/Mirror.h"

#include "backup/BackupSet.h"
#include "backup/BackupTexts.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "common/Gzip.h"

namespace odb {
namespace {

std::string WithDetail(std::string text, const std::string& detail) {
  return detail.empty() ? text : text + ": " + detail;
}

std::string WithoutTrailingDelimiters(std::string path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  return path;
}

// A folder that is missing is not created: a USB disk that is not plugged in
// or a share that is not mounted would have the copies land on the system
// disk, where they are no second copy at all.
void CheckMirrorFolder(const std::string& mirror) {
  if (fs::DirectoryExists(mirror) || fs::DirectoryExists(GenerationPrefix(mirror))) return;
  if (fs::EntryExists(WithoutTrailingDelimiters(mirror))) {
    throw EBackupSetError(FormatMsg(msg::MirrorNotFolder, mirror));
  }
  throw EBackupSetError(FormatMsg(msg::MirrorUnreachable, mirror));
}

gzip::TResult Compress(const std::string& backup, const std::string& partial, const gzip::TBreathe& breathe) {
  gzip::TResult result = gzip::CompressFile(backup, partial, breathe);
  switch (result.failure) {
    case gzip::TFailure::None:
      return result;
    case gzip::TFailure::ReadSource:
    case gzip::TFailure::Corrupt:
      throw EBackupSetError(WithDetail(FormatMsg(msg::MirrorBackupUnreadable, backup), result.detail));
    case gzip::TFailure::WriteTarget:
      throw EBackupSetError(WithDetail(FormatMsg(msg::MirrorNotWritable, partial), result.detail));
  }
  return result;
}

}  // namespace

std::vector<std::string> RemoveMirrorLeftovers(const std::string& mirror) {
  CheckMirrorFolder(mirror);
  return RemoveLeftovers(mirror, kMirrorSet);
}

TMirrorCopy CopyToMirror(const std::string& backup, const std::string& mirror, std::string_view countText,
                         const ShowErrorFn& showError, IMessagePump* pump) {
  CheckMirrorFolder(mirror);
  const int count = MirrorCountFromText(countText);
  const std::string prefix = GenerationPrefix(mirror);
  const std::string partial = PartialBackupName(prefix, kMirrorSet);
  gzip::TBreathe breathe;
  if (pump) breathe = [pump] { pump->ProcessMessages(); };
  const gzip::TResult compressed = Compress(backup, partial, breathe);
  // Written is not yet readable: a share or a USB disk that dropped blocks
  // says so only when the copy is read back.
  if (!gzip::DecompressesTo(partial, backup, breathe)) {
    (void)fs::RemoveFile(partial);
    throw EBackupSetError(FormatMsg(msg::MirrorMismatch, partial));
  }
  PlaceNewBackup(mirror, count, showError, kMirrorSet);
  return {GenerationName(prefix, 1, kMirrorNames), compressed.bytesIn, compressed.bytesOut};
}

}  // namespace odb
