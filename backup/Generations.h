#pragma once
// Backup generations in the backup folder: ODBackup_1.fbk is the newest, a
// higher number is older, and ODBackup_1.old keeps the previous backup while
// fewer than two generations are kept.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace odb {

using ShowErrorFn = std::function<void(const std::string& text)>;

// The names of one set of generations, "ODBackup_<n>" + extension: the
// backups themselves, which keep the previous one as ODBackup_1.old while
// fewer than two are kept, and the mirror's compressed copies, which never
// do (below two, the newest copy simply replaces the one before).
struct TGenerationNames {
  std::string_view extension;
  bool oldBelowTwo;
};
inline constexpr TGenerationNames kBackupNames{".fbk", true};
inline constexpr TGenerationNames kMirrorNames{".fbk.gz", false};

// prefix + "ODBackup_<n>" + the set's extension.
std::string GenerationName(const std::string& prefix, int n, const TGenerationNames& names = kBackupNames);

// The file operations the rotation needs; tests swap them to reach the
// per-step guard, which real file calls never trip.
struct GenerationFileOps {
  std::function<bool(const std::string& path)> exists;
  std::function<bool(const std::string& path)> remove;
  std::function<bool(const std::string& from, const std::string& to)> rename;
  // Numbers of the generation files present under the prefix; without it
  // every number up to the count is asked with exists.
  std::function<std::vector<int>(const std::string& prefix)> present;
};
GenerationFileOps LocalGenerationFileOps(const TGenerationNames& names = kBackupNames);

// The folder text with the platform's delimiter appended unless it ends with
// one already; an empty text gives just the delimiter.
std::string GenerationPrefix(std::string_view folder);

// Where the rotation moves the newest backup before it deletes anything.
std::string RotatingName(const std::string& newest);

// The generation number of "ODBackup_<n>" + the set's extension as the
// platform's file system matches names (n without leading zeros); 0 for
// "ODBackup_1.old" where the set keeps one; nothing for any other name.
std::optional<int> GenerationNumber(std::string_view name, const TGenerationNames& names = kBackupNames);

// Text of the box shown when a rotation step raised: both names are put in
// first, the error's own message is appended verbatim.
std::string RenameErrorText(const std::string& from, const std::string& to,
                            const std::string& error);

// Shifts the generations one number up so that ODBackup_1.fbk is free.
// True when no ODBackup_1.fbk exists afterwards. When there is no
// ODBackup_1.fbk to begin with nothing is moved or deleted: a failed backup
// must not cost the oldest good generation. Failed deletes and renames are
// not reported; an exception inside a step goes to showError and the
// rotation continues with the next step.
[[nodiscard]] bool RotateBackups(const std::string& folder, int count, const ShowErrorFn& showError);
[[nodiscard]] bool RotateBackups(const std::string& folder, int count, const ShowErrorFn& showError,
                                 const GenerationFileOps& ops);
// The same for any set of generations.
[[nodiscard]] bool RotateGenerations(const TGenerationNames& names, const std::string& folder, int count,
                                     const ShowErrorFn& showError, const GenerationFileOps& ops);

// The number of generations from the text of the backup count: an optional
// sign, digits, optionally a fraction after "." or "," (rounded half to even);
// blanks around it are ignored. Raises ERangeError when the rounded value does
// not fit 32 bits and EConvertError for any other text (empty included), so a
// mistyped count stops the backup before anything is moved instead of
// quietly keeping one generation.
int BackupCountFromText(std::string_view text);
// The same for the number of the mirror's copies, with texts of their own.
int MirrorCountFromText(std::string_view text);

}  // namespace odb
