#pragma once
// The event action: what OK does and when the timer runs. The configuration
// file and the action list speak names and item indexes; inside, it is a kind.
#include <string>

namespace odb {

enum class TActionKind { OnceBackup, BackupOnTimer, PauseBackup, Unknown };

class TEventAction {
 public:
  TEventAction(TActionKind kind = TActionKind::OnceBackup) : kind_(kind) {}  // NOLINT: a kind is an action
  // A name that is none of the three stays as read: it is shown by its own
  // tray icon until the next OK replaces it.
  static TEventAction FromName(std::string name);
  // The action list: no selected item (or one past the three) means the plan.
  static TEventAction FromItemIndex(int index);

  TActionKind Kind() const { return kind_; }
  std::string Name() const;
  // An unknown name shows as the plan's item.
  int ItemIndex() const;
  bool operator==(const TEventAction&) const = default;

 private:
  TActionKind kind_;
  std::string unknownName_;
};

// The two conversions of the action list's item index and the file's name.
std::string ActionToName(int index);
int NameToAction(const std::string& name);

}  // namespace odb
