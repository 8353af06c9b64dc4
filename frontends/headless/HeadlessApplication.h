#pragma once
// The application object without a window system: a message queue of its own,
// timers on an injected clock, and boxes that go to standard error or to a
// test's script. It reproduces the message-loop semantics the program relies
// on (posted messages handled later, nested processing, modal boxes that keep
// the loop running), so re-entrancy can be shown deterministically.
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/FolderDialog.h"

namespace odb {

class THeadlessTray final : public ITrayEntry {
 public:
  void Add(int iconSet, int iconIndex, const std::string& tip) override;
  void Modify(int iconSet, int iconIndex, const std::string& tip) override;
  void Delete() override { Present = false; }
  // Without a tray the notice is one line on standard error, when echoing.
  void ShowBalloon(const std::string& title, const std::string& text) override;
  void HideBalloon() override { ++BalloonsTakenDown; }

  bool Present = false;
  bool EchoBalloons = false;
  std::vector<std::string> Balloons;
  int BalloonsTakenDown = 0;
  int IconSet = 0;
  int IconIndex = -1;
  std::string Tip;
  int Adds = 0;
  int Modifies = 0;
};

class THeadlessApplication final : public TApplication {
 public:
  explicit THeadlessApplication(IClock& clock) : clock_(clock), lastNow_(clock.Now()) {}

  TDateTime Now() const override { return clock_.Now(); }
  void PostMessage(IMessageTarget& target, unsigned msg, intptr_t wParam, intptr_t lParam) override;
  void ProcessMessages() override;
  void Run(TForm& mainForm) override;
  void Terminate() override { terminated_ = true; }
  bool Terminated() const override { return terminated_; }
  void TimerChanged(TTimer& timer) override;
  void TimerDestroyed(TTimer& timer) override { timers_.erase(&timer); }
  void FormVisibilityChanged(TForm&) override {}
  TBoxResult ShowMessageBox(const TMessageBox& box) override;
  std::optional<std::string> BrowseForComputer(const std::string& instruction) override;
  std::optional<std::string> ExecuteOpenDialog(const TOpenDialog& dialog) override;
  std::optional<std::string> SelectDirectory(const TFolderDialog& dialog) override;
  void ShowModal(TFrmSelectIconSet& chooser) override;
  ITrayEntry& Tray() override { return TrayEntry; }
  TTrayCommand TrackTrayMenu(TForm& owner) override;
  std::optional<TLoginEntry> AskLogin(const std::string& userName) override;

  // Steps a virtual clock forward, delivering every timer tick that falls due
  // on the way at its own instant. Only for a TVirtualClock.
  void AdvanceTime(int64_t ms);
  // Safe to call from a signal handler: the loop ends as if the window closed.
  static void RequestTerminate() { terminateRequested_ = true; }
  size_t PendingMessages() const { return queue_.size(); }

  // What would be a message box: printed as "<title>: <text>" when EchoBoxes.
  bool EchoBoxes = false;
  std::vector<TMessageBox> Boxes;
  std::deque<TBoxResult> BoxAnswers;  // scripted; otherwise the negative button
  std::function<void(const TMessageBox&)> WhileBoxOpen;
  std::deque<std::optional<std::string>> DialogAnswers;  // scripted; otherwise cancelled
  TFolderDialog LastFolderDialog;                        // what the last folder chooser was asked
  std::deque<TTrayCommand> MenuAnswers;
  int MenuShows = 0;
  std::deque<std::optional<TLoginEntry>> LoginAnswers;  // scripted; otherwise cancelled
  std::vector<std::string> LoginAsked;                  // the user names the dialog showed
  std::function<void(TFrmSelectIconSet&)> WhileChooserOpen;
  THeadlessTray TrayEntry;

 private:
  struct Posted {
    IMessageTarget* target;
    unsigned msg;
    intptr_t wParam, lParam;
  };
  TTimer* NextDueTimer(TDateTime until) const;
  void FireTimer(TTimer& timer);
  void FireDueTimers();
  void FollowClockBack();
  std::optional<std::string> NextDialogAnswer();

  IClock& clock_;
  std::deque<Posted> queue_;
  std::map<TTimer*, TDateTime> timers_;  // enabled timers and their next tick
  TDateTime lastNow_;                    // the clock as last seen
  bool terminated_ = false;
  static inline std::atomic<bool> terminateRequested_{false};
};

}  // namespace odb
