#include "app/BackupStatus.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/AppTexts.h"
#include "app/Settings.h"
#include "backup/Generations.h"
#include "config/AttemptRecord.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "schedule/ScheduleComputation.h"

namespace odb {
namespace {

namespace stdfs = std::filesystem;

TDateTime LocalTime(stdfs::file_time_type stamp) {
  const auto sys = std::chrono::file_clock::to_sys(stamp);
  const std::time_t seconds = std::chrono::system_clock::to_time_t(sys);
  // One thread only, so the shared buffer of localtime is safe here.
  const std::tm* local = std::localtime(&seconds);
  if (!local) return BaseDateTime;
  return TDateTime::Encode(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour,
                           local->tm_min, local->tm_sec);
}

std::string Instant(TDateTime value) { return value == BaseDateTime ? "-" : FormatDateTime(value); }

}  // namespace

namespace {

TFailedStep StepOf(TAttemptOutcome outcome) {
  if (outcome == TAttemptOutcome::VerificationFailed) return TFailedStep::Verification;
  return outcome == TAttemptOutcome::CopyFailed ? TFailedStep::Copy : TFailedStep::Backup;
}

}  // namespace

std::optional<TFailedAttempt> RecordedFailure(const std::string& iniFileName) {
  const std::optional<TAttemptRecord> record = LoadAttemptRecord(AttemptRecordPath(iniFileName));
  if (!record || !record->Failed()) return std::nullopt;
  return TFailedAttempt{record->at, record->error, StepOf(record->outcome)};
}

std::vector<TGenerationFile> FindGenerations(const std::string& folder, const TGenerationNames& names) {
  std::vector<std::pair<int, TGenerationFile>> found;
  const std::string prefix = GenerationPrefix(folder);
  for (const std::string& name : fs::ListFiles(folder)) {
    const std::optional<int> number = GenerationNumber(name, names);
    std::error_code error;
    const stdfs::path path(prefix + name);
    if (!number || !stdfs::is_regular_file(path, error)) continue;
    const uint64_t bytes = stdfs::file_size(path, error);
    const auto stamp = stdfs::last_write_time(path, error);
    if (error) continue;
    found.push_back({*number == 0 ? INT32_MAX : *number, {name, bytes, LocalTime(stamp)}});
  }
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<TGenerationFile> files;
  for (auto& [number, file] : found) files.push_back(std::move(file));
  return files;
}

namespace {

// What the generations and the last attempt add to the rule's verdict: a
// failure after the last good backup, a folder that cannot be read, or no
// newest file whatever LastRun says.
TStaleness WithFacts(TStaleness staleness, const TSettingsBinding& settings,
                     const std::optional<TFailedAttempt>& failure, const std::vector<TGenerationFile>& files) {
  const std::string folder = settings.BackupFolder();
  if (!fs::FolderReadable(folder)) return {TBackupState::None, true, FormatMsg(msg::FolderUnreadable, folder)};
  const bool newest = std::any_of(files.begin(), files.end(),
                                  [](const TGenerationFile& f) { return f.name == "ODBackup_1.fbk"; });
  if (!newest && staleness.state != TBackupState::None) return {TBackupState::None, true, std::string(msg::NewestMissing)};
  if (staleness.state != TBackupState::None && failure && settings.Live.LastRun <= failure->at) {
    return {TBackupState::Failed, true,
            FormatMsg(msg::StripAttemptFailed, FormatDateTime(failure->at)) + ", " + FirstLine(failure->error)};
  }
  return staleness;
}

}  // namespace

int StatusReport(const TSettingsBinding& settings, const std::optional<TFailedAttempt>& failure, TDateTime now,
                 std::string& out) {
  const TSettings& live = settings.Live;
  const TEventAction action = settings.EventAction();
  const bool paused = action.Kind() == TActionKind::PauseBackup;
  const TDateTime next = paused ? BaseDateTime : NextPlannedInstant(live.Plan, now);
  out += "last: " + Instant(live.LastRun) + "\n";
  out += "next: " + Instant(next) + "\n";
  out += "action: " + action.Name() + "\n";
  const std::vector<TGenerationFile> files = FindGenerations(settings.BackupFolder());
  for (const TGenerationFile& file : files) {
    out += "generation: " + file.name + " " + std::to_string(file.bytes) + " " +
           FormatDateTime(file.modified) + "\n";
  }
  const TStaleness staleness = WithFacts(
      BackupStaleness(live.Plan, action.Kind() == TActionKind::BackupOnTimer, live.LastRun, now), settings, failure,
      files);
  out += std::string("state: ") + BackupStateName(staleness.state) + " (" + staleness.reason + ")\n";
  switch (staleness.state) {
    case TBackupState::Fresh:
      return 0;
    case TBackupState::Stale:
    case TBackupState::Failed:
      return 1;
    case TBackupState::None:
      return 3;
  }
  return 3;
}

}  // namespace odb
