#include "app/EventAction.h"

namespace odb {
namespace {

constexpr const char* kOnceBackup = "OnceBackup";
constexpr const char* kBackupOnTimer = "BackupOnTimer";
constexpr const char* kPauseBackup = "PauseBackup";

}  // namespace

TEventAction TEventAction::FromName(std::string name) {
  if (name == kOnceBackup) return TActionKind::OnceBackup;
  if (name == kBackupOnTimer) return TActionKind::BackupOnTimer;
  if (name == kPauseBackup) return TActionKind::PauseBackup;
  TEventAction unknown(TActionKind::Unknown);
  unknown.unknownName_ = std::move(name);
  return unknown;
}

TEventAction TEventAction::FromItemIndex(int index) {
  if (index == 0) return TActionKind::OnceBackup;
  if (index == 2) return TActionKind::PauseBackup;
  return TActionKind::BackupOnTimer;
}

std::string TEventAction::Name() const {
  switch (kind_) {
    case TActionKind::OnceBackup:
      return kOnceBackup;
    case TActionKind::BackupOnTimer:
      return kBackupOnTimer;
    case TActionKind::PauseBackup:
      return kPauseBackup;
    case TActionKind::Unknown:
      return unknownName_;
  }
  return unknownName_;
}

int TEventAction::ItemIndex() const {
  switch (kind_) {
    case TActionKind::OnceBackup:
      return 0;
    case TActionKind::BackupOnTimer:
    case TActionKind::Unknown:
      return 1;
    case TActionKind::PauseBackup:
      return 2;
  }
  return 1;
}

std::string ActionToName(int index) { return TEventAction::FromItemIndex(index).Name(); }

int NameToAction(const std::string& name) { return TEventAction::FromName(name).ItemIndex(); }

}  // namespace odb
