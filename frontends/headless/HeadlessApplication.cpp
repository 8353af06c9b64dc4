#include "frontends/headless/HeadlessApplication.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/Controls.h"
#include "app/Form.h"
#include "platform/SelectIconSet.h"

namespace odb {

void THeadlessTray::Add(int iconSet, int iconIndex, const std::string& tip) {
  Present = true;
  ++Adds;
  IconSet = iconSet;
  IconIndex = iconIndex;
  Tip = tip;
}

void THeadlessTray::ShowBalloon(const std::string& title, const std::string& text) {
  Balloons.push_back(text);
  if (!EchoBalloons) return;
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  std::fflush(stderr);
}

void THeadlessTray::Modify(int iconSet, int iconIndex, const std::string& tip) {
  ++Modifies;
  IconSet = iconSet;
  IconIndex = iconIndex;
  Tip = tip;
}

void THeadlessApplication::PostMessage(IMessageTarget& target, unsigned msg, intptr_t wParam,
                                       intptr_t lParam) {
  queue_.push_back({&target, msg, wParam, lParam});
}

void THeadlessApplication::ProcessMessages() {
  while (!queue_.empty()) {
    const Posted posted = queue_.front();
    queue_.pop_front();
    posted.target->HandleMessage(posted.msg, posted.wParam, posted.lParam);
  }
  FireDueTimers();
}

void THeadlessApplication::TimerChanged(TTimer& timer) {
  FollowClockBack();
  if (timer.Enabled()) {
    timers_[&timer] = Now().AddMs(timer.Interval());
  } else {
    timers_.erase(&timer);
  }
}

TTimer* THeadlessApplication::NextDueTimer(TDateTime until) const {
  TTimer* next = nullptr;
  TDateTime best;
  for (const auto& [timer, due] : timers_) {
    if (due <= until && (!next || due < best)) {
      next = timer;
      best = due;
    }
  }
  return next;
}

void THeadlessApplication::FireTimer(TTimer& timer) {
  // Like WM_TIMER, ticks that fall due while a handler runs do not stack up:
  // at most one follows at once.
  auto& due = timers_[&timer];
  due = std::max(due.AddMs(timer.Interval()), Now());
  if (timer.OnTimer) timer.OnTimer();
}

// Timers run on elapsed time, as WM_TIMER does: when the wall clock is set
// back, their next ticks move back with it instead of stopping until the old
// time comes round again.
void THeadlessApplication::FollowClockBack() {
  const TDateTime now = Now();
  if (now < lastNow_) {
    const int64_t back = lastNow_.Ms() - now.Ms();
    for (auto& [timer, due] : timers_) due = due.AddMs(-back);
  }
  lastNow_ = now;
}

void THeadlessApplication::FireDueTimers() {
  FollowClockBack();
  const TDateTime now = Now();
  std::vector<TTimer*> due;
  for (const auto& [timer, at] : timers_) {
    if (at <= now) due.push_back(timer);
  }
  for (TTimer* timer : due) {
    if (timers_.count(timer) && timers_[timer] <= now) FireTimer(*timer);
  }
}

void THeadlessApplication::AdvanceTime(int64_t ms) {
  auto& clock = dynamic_cast<TVirtualClock&>(clock_);
  FollowClockBack();
  const TDateTime target = clock.Now().AddMs(ms);
  while (TTimer* timer = NextDueTimer(target)) {
    if (timers_[timer] > clock.Now()) clock.Set(timers_[timer]);
    while (!queue_.empty()) ProcessMessages();
    if (timers_.count(timer) && timers_[timer] <= clock.Now()) FireTimer(*timer);
  }
  if (clock.Now() < target) clock.Set(target);
  ProcessMessages();
}

void THeadlessApplication::Run(TForm& mainForm) {
  if (ShowMainFormOnRun) mainForm.Show();
  while (!terminated_) {
    if (terminateRequested_.exchange(false)) {
      mainForm.Close();
      break;
    }
    ProcessMessages();
    // Sleep until the next tick, waking often enough to notice a signal.
    TDateTime next = Now().AddMs(200);
    for (const auto& [timer, due] : timers_) next = std::min(next, due);
    const auto wait = next.Ms() - Now().Ms();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::milliseconds(wait));
  }
}

TBoxResult THeadlessApplication::ShowMessageBox(const TMessageBox& box) {
  Boxes.push_back(box);
  if (EchoBoxes) std::fprintf(stderr, "%s: %s\n", box.title.c_str(), box.text.c_str());
  if (WhileBoxOpen) WhileBoxOpen(box);
  if (!BoxAnswers.empty()) {
    const TBoxResult answer = BoxAnswers.front();
    BoxAnswers.pop_front();
    return answer;
  }
  switch (box.buttons) {
    case TBoxButtons::Ok:
      return TBoxResult::Ok;
    case TBoxButtons::YesNo:
      return TBoxResult::No;
    case TBoxButtons::OkCancel:
      return TBoxResult::Cancel;
  }
  return TBoxResult::Cancel;
}

std::optional<std::string> THeadlessApplication::NextDialogAnswer() {
  if (DialogAnswers.empty()) return std::nullopt;
  auto answer = DialogAnswers.front();
  DialogAnswers.pop_front();
  return answer;
}

std::optional<std::string> THeadlessApplication::BrowseForComputer(const std::string&) {
  return NextDialogAnswer();
}

std::optional<std::string> THeadlessApplication::ExecuteOpenDialog(const TOpenDialog&) {
  return NextDialogAnswer();
}

std::optional<std::string> THeadlessApplication::SelectDirectory(const TFolderDialog& dialog) {
  LastFolderDialog = dialog;
  return NextDialogAnswer();
}

void THeadlessApplication::ShowModal(TFrmSelectIconSet& chooser) {
  chooser.FormActivate();
  if (WhileChooserOpen) WhileChooserOpen(chooser);
}

TTrayCommand THeadlessApplication::TrackTrayMenu(TForm&) {
  ++MenuShows;
  if (MenuAnswers.empty()) return TTrayCommand::None;
  const TTrayCommand command = MenuAnswers.front();
  MenuAnswers.pop_front();
  return command;
}

std::optional<TLoginEntry> THeadlessApplication::AskLogin(const std::string& userName) {
  LoginAsked.push_back(userName);
  if (LoginAnswers.empty()) return std::nullopt;
  std::optional<TLoginEntry> answer = LoginAnswers.front();
  LoginAnswers.pop_front();
  return answer;
}

}  // namespace odb
