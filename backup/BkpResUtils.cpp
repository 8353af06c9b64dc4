#include "backup/BkpResUtils.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>

#include "backup/Generations.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Format.h"

namespace odb {
namespace {

std::string FbkName(const std::string& prefix, int n) {
  return prefix + "ODBackup_" + std::to_string(n) + ".fbk";
}

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

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const GenerationFileOps& LocalGenerationFileOps() {
  static const GenerationFileOps ops{fs::FileExists, fs::RemoveFile, fs::RenameNoReplace};
  return ops;
}

std::string GenerationPrefix(std::string_view folder) {
  const char delimiter = fs::PathDelimiter();
  std::string prefix(folder);
  if (prefix.empty() || prefix.back() != delimiter) prefix += delimiter;
  return prefix;
}

std::string RenameErrorText(const std::string& from, const std::string& to,
                            const std::string& error) {
  std::string text(msg::RenameFailed);
  const auto first = text.find("%s");
  text.replace(first, 2, from);
  // Search after the inserted name: a "%s" inside it is part of the name.
  text.replace(text.find("%s", first + from.size()), 2, to);
  return text + error;
}

bool RotateBackups(const std::string& folder, int count, const ShowErrorFn& showError) {
  return RotateBackups(folder, count, showError, LocalGenerationFileOps());
}

bool RotateBackups(const std::string& folder, int count, const ShowErrorFn& showError,
                   const GenerationFileOps& ops) {
  const std::string prefix = GenerationPrefix(folder);
  const std::string newest = FbkName(prefix, 1);
  if (!ops.exists(newest)) return true;

  if (count < 2) {
    const std::string old = prefix + "ODBackup_1.old";
    GuardedStep(newest, old, showError, [&] {
      if (ops.exists(old)) ops.remove(old);
      if (ops.exists(newest)) ops.rename(newest, old);
    });
  } else {
    for (int n = count; n >= 2; --n) {
      const std::string dest = FbkName(prefix, n);
      const std::string src = FbkName(prefix, n - 1);
      GuardedStep(src, dest, showError, [&] {
        if (n == count && ops.exists(dest)) ops.remove(dest);
        if (ops.exists(src)) ops.rename(src, dest);
      });
    }
  }
  return !ops.exists(newest);
}

int BackupCountFromText(std::string_view text) {
  const std::string_view t = TrimBlanks(text);
  size_t i = 0;
  const bool negative = !t.empty() && t[0] == '-';
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) ++i;

  constexpr uint64_t Saturation = uint64_t{1} << 40;  // far beyond 32 bits, far below overflow
  uint64_t whole = 0;
  const size_t wholeStart = i;
  for (; i < t.size() && IsDigit(t[i]); ++i) {
    whole = std::min(Saturation, whole * 10 + static_cast<uint64_t>(t[i] - '0'));
  }
  bool digits = i > wholeStart;

  int firstFraction = 0;
  bool fractionBeyondHalf = false;
  if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
    const size_t fractionStart = ++i;
    for (; i < t.size() && IsDigit(t[i]); ++i) {
      if (i == fractionStart) firstFraction = t[i] - '0';
      else if (t[i] != '0') fractionBeyondHalf = true;
    }
    digits = digits || i > fractionStart;
  }
  if (!digits || i != t.size()) throw EConvertError(FormatMsg(msg::BackupCountInvalid, t));

  const bool odd = whole % 2 == 1;
  if (firstFraction > 5 || (firstFraction == 5 && (fractionBeyondHalf || odd))) ++whole;
  const int64_t value = negative ? -static_cast<int64_t>(whole) : static_cast<int64_t>(whole);
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    throw ERangeError(FormatMsg(msg::BackupCountRange, t));
  }
  return static_cast<int>(value);
}

}  // namespace odb
