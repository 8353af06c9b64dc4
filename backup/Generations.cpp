#include "backup/Generations.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>
#include <vector>

#include "backup/BackupTexts.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "common/Text.h"

namespace odb {
namespace {

// One rotation step; whatever it raises is shown and swallowed so that the
// remaining steps still run.
void GuardedStep(const std::string& from, const std::string& to, const ShowErrorFn& showError,
                 const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& e) {
    showError(RenameErrorText(from, to, e.what()));
  } catch (...) {
    showError(RenameErrorText(from, to, ""));
  }
}

void ShiftToOld(const std::string& prefix, const std::string& newest, const ShowErrorFn& showError,
                const GenerationFileOps& ops) {
  const std::string old = prefix + "ODBackup_1.old";
  GuardedStep(newest, old, showError, [&] {
    if (ops.exists(old)) ops.remove(old);
    if (ops.exists(newest)) ops.rename(newest, old);
  });
}

// Below two without an .old: the newest goes, its successor is about to come.
void DropNewest(const std::string& newest, const ShowErrorFn& showError, const GenerationFileOps& ops) {
  GuardedStep(newest, "", showError, [&] { (void)ops.remove(newest); });
}

// The steps that can move a file: number count (its file is deleted first)
// and every number whose predecessor is present, highest first. Other steps
// have nothing to move, so a huge count costs no more than the files present.
std::vector<int> EffectiveSteps(const TGenerationNames& names, const std::string& prefix, int count,
                                const GenerationFileOps& ops) {
  std::vector<int> steps{count};
  const auto consider = [&](int n) {
    if (n >= 1 && n < count && (n == 1 || ops.exists(GenerationName(prefix, n, names)))) steps.push_back(n + 1);
  };
  if (ops.present) {
    for (const int n : ops.present(prefix)) consider(n);
    consider(1);
  } else {
    for (int n = count - 1; n >= 1; --n) consider(n);
  }
  std::sort(steps.begin(), steps.end(), std::greater<int>());
  steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
  return steps;
}

void ShiftGenerations(const TGenerationNames& names, const std::string& prefix, const std::string& newest,
                      int count, const ShowErrorFn& showError, const GenerationFileOps& ops) {
  for (const int n : EffectiveSteps(names, prefix, count, ops)) {
    const std::string dest = GenerationName(prefix, n, names);
    const std::string src = n == 2 ? newest : GenerationName(prefix, n - 1, names);
    GuardedStep(src, dest, showError, [&] {
      if (n == count && ops.exists(dest)) ops.remove(dest);
      if (ops.exists(src)) ops.rename(src, dest);
    });
  }
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the names are one file's name to the platform's file system: on
// Windows the exists and rename calls find odbackup_3.fbk as ODBackup_3.fbk,
// so the listing must see it as generation 3 too.
bool SameFileName(std::string_view a, std::string_view b) {
  if (!fs::FileNamesIgnoreCase()) return a == b;
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Numbers of the set's generation files in the folder, from one listing.
std::vector<int> PresentGenerations(const TGenerationNames& names, const std::string& prefix) {
  std::vector<int> numbers;
  for (const std::string& name : fs::ListFiles(prefix)) {
    const std::optional<int> number = GenerationNumber(name, names);
    if (number && *number > 0) numbers.push_back(*number);
  }
  return numbers;
}

}  // namespace

std::string GenerationName(const std::string& prefix, int n, const TGenerationNames& names) {
  return prefix + "ODBackup_" + std::to_string(n) + std::string(names.extension);
}

GenerationFileOps LocalGenerationFileOps(const TGenerationNames& names) {
  return {fs::FileExists, fs::RemoveFile, fs::RenameNoReplace,
          [names](const std::string& prefix) { return PresentGenerations(names, prefix); }};
}

std::optional<int> GenerationNumber(std::string_view name, const TGenerationNames& names) {
  if (names.oldBelowTwo && SameFileName(name, "ODBackup_1.old")) return 0;
  constexpr std::string_view head = "ODBackup_";
  const std::string_view tail = names.extension;
  if (name.size() <= head.size() + tail.size() || !SameFileName(name.substr(0, head.size()), head) ||
      !SameFileName(name.substr(name.size() - tail.size()), tail)) {
    return std::nullopt;
  }
  const std::string_view digits = name.substr(head.size(), name.size() - head.size() - tail.size());
  size_t end = 0;
  const TDigitRun number = ReadDigits(digits, end);
  if (digits.size() > 9 || digits[0] == '0' || end != digits.size()) return std::nullopt;
  return static_cast<int>(number.value);
}

std::string RotatingName(const std::string& newest) { return newest + ".rotating"; }

std::string GenerationPrefix(std::string_view folder) {
  // "/" delimits too: a folder written as a Linux server sees it
  // ("/srv/zalohy") must not become "/srv/zalohy\", a file beside it.
  const char delimiter = fs::PathDelimiter();
  std::string prefix(folder);
  if (!prefix.empty() && (prefix.back() == delimiter || prefix.back() == '/')) return prefix;
  const bool slashes_only = folder.find('/') != std::string_view::npos &&
                            folder.find('\\') == std::string_view::npos;
  prefix += slashes_only ? '/' : delimiter;
  return prefix;
}

std::string RenameErrorText(const std::string& from, const std::string& to,
                            const std::string& error) {
  // Built piece by piece, so a "%s" inside a name or the error stays as it is.
  const std::string_view pattern = msg::RenameFailed;
  const auto first = pattern.find("%s");
  const auto second = pattern.find("%s", first + 2);
  std::string text(pattern.substr(0, first));
  text.append(from).append(pattern.substr(first + 2, second - first - 2)).append(to);
  return text.append(pattern.substr(second + 2)).append(error);
}

bool RotateBackups(const std::string& folder, int count, const ShowErrorFn& showError) {
  return RotateBackups(folder, count, showError, LocalGenerationFileOps());
}

bool RotateBackups(const std::string& folder, int count, const ShowErrorFn& showError,
                   const GenerationFileOps& ops) {
  return RotateGenerations(kBackupNames, folder, count, showError, ops);
}

bool RotateGenerations(const TGenerationNames& names, const std::string& folder, int count,
                       const ShowErrorFn& showError, const GenerationFileOps& ops) {
  const std::string prefix = GenerationPrefix(folder);
  const std::string newest = GenerationName(prefix, 1, names);
  // The newest backup is moved aside before anything is deleted: when it
  // cannot be moved (a locked file), nothing else may go, or every failed
  // attempt would cost the oldest generation.
  const std::string aside = RotatingName(newest);
  // A crash between that move and the shift left it aside; it is still the
  // newest backup.
  bool newestThere = ops.exists(newest);
  if (!newestThere && ops.exists(aside)) {
    GuardedStep(aside, newest, showError, [&] { (void)ops.rename(aside, newest); });
    newestThere = ops.exists(newest);
  }
  if (!newestThere) return true;
  bool movedAside = false;
  if (!ops.exists(aside)) {
    GuardedStep(newest, aside, showError, [&] { movedAside = ops.rename(newest, aside); });
    if (!movedAside) return !ops.exists(newest);
  }
  const std::string first = movedAside ? aside : newest;
  if (count >= 2) {
    ShiftGenerations(names, prefix, first, count, showError, ops);
  } else if (names.oldBelowTwo) {
    ShiftToOld(prefix, first, showError, ops);
  } else {
    DropNewest(first, showError, ops);
  }
  // A step that could not place the newest backup puts it back under its name.
  if (movedAside && ops.exists(aside)) ops.rename(aside, newest);
  return !ops.exists(newest);
}

namespace {

int CountFromText(std::string_view text, std::string_view invalid, std::string_view range) {
  const std::string_view t = Trim(text, TBlanks::SpaceTab);
  size_t i = 0;
  const bool negative = !t.empty() && t[0] == '-';
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) ++i;

  constexpr uint64_t Saturation = uint64_t{1} << 40;  // far beyond 32 bits, far below overflow
  const TDigitRun wholeRun = ReadDigits(t, i, 10, SIZE_MAX, Saturation);
  uint64_t whole = wholeRun.value;
  bool digits = wholeRun.count > 0;

  int firstFraction = 0;
  bool fractionBeyondHalf = false;
  if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
    const size_t fractionStart = ++i;
    for (; i < t.size() && IsDecimalDigit(t[i]); ++i) {
      if (i == fractionStart) firstFraction = t[i] - '0';
      else if (t[i] != '0') fractionBeyondHalf = true;
    }
    digits = digits || i > fractionStart;
  }
  if (!digits || i != t.size()) throw EConvertError(FormatMsg(invalid, t));

  const bool odd = whole % 2 == 1;
  if (firstFraction > 5 || (firstFraction == 5 && (fractionBeyondHalf || odd))) ++whole;
  const int64_t value = negative ? -static_cast<int64_t>(whole) : static_cast<int64_t>(whole);
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    throw ERangeError(FormatMsg(range, t));
  }
  return static_cast<int>(value);
}

}  // namespace

int BackupCountFromText(std::string_view text) {
  return CountFromText(text, msg::BackupCountInvalid, msg::BackupCountRange);
}

int MirrorCountFromText(std::string_view text) {
  return CountFromText(text, msg::MirrorCountInvalid, msg::MirrorCountRange);
}

}  // namespace odb
