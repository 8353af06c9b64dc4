#include "config/AttemptRecord.h"

#include <array>
#include <utility>

#include "common/Text.h"
#include "config/IniFile.h"
#include "config/Login.h"

namespace odb {
namespace {

constexpr const char* kSection = "LastAttempt";

constexpr std::array<std::pair<TAttemptOutcome, std::string_view>, 5> kOutcomeNames{{
    {TAttemptOutcome::Made, "made"},
    {TAttemptOutcome::Verified, "verified"},
    {TAttemptOutcome::Failed, "failed"},
    {TAttemptOutcome::VerificationFailed, "verification failed"},
    {TAttemptOutcome::CopyFailed, "copy failed"},
}};

std::string_view OutcomeName(TAttemptOutcome outcome) {
  for (const auto& [value, name] : kOutcomeNames) {
    if (value == outcome) return name;
  }
  return "failed";
}

std::optional<TAttemptOutcome> OutcomeFromName(std::string_view text) {
  for (const auto& [value, name] : kOutcomeNames) {
    if (name == text) return value;
  }
  return std::nullopt;
}

}  // namespace

std::string AttemptRecordPath(const std::string& iniFileName) { return ChangeExtension(iniFileName, ".state"); }

void SaveAttemptRecord(const std::string& path, const TAttemptRecord& record) {
  TIniFile file(path);
  file.WriteString(kSection, "Time", FormatDateTime(record.at));
  file.WriteString(kSection, "Outcome", OutcomeName(record.outcome));
  file.WriteString(kSection, "Error", IniValueText(record.error));
  file.UpdateFile();
}

std::optional<TAttemptRecord> LoadAttemptRecord(const std::string& path) {
  const TIniFile file(path);
  const std::optional<TDateTime> at = ParseDateTime(file.ReadString(kSection, "Time", ""));
  const std::optional<TAttemptOutcome> outcome = OutcomeFromName(file.ReadString(kSection, "Outcome", ""));
  if (!at || !outcome) return std::nullopt;
  return TAttemptRecord{*at, *outcome, file.ReadString(kSection, "Error", "")};
}

}  // namespace odb
