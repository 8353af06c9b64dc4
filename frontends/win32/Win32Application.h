#pragma once
// The application object of the Windows program: the message loop, posted
// messages to real windows, window timers, message boxes and the platform's
// dialogs. The settings window's HWND exists from construction on, so the tray
// entry and the timers have their owner before the model window is created.
#include <windows.h>
// The model's TApplication::PostMessage is not the API macro.
#undef PostMessage

#include <map>
#include <memory>

#include "platform/Application.h"
#include "platform/Clock.h"

namespace odb {

class TMainWindow;
class TSettingsView;
class TWin32TrayEntry;

class TWin32Application : public TApplication {
 public:
  explicit TWin32Application(HINSTANCE instance);
  ~TWin32Application() override;

  TDateTime Now() const override { return clock_.Now(); }
  void PostMessage(IMessageTarget& target, unsigned msg, intptr_t wParam, intptr_t lParam) override;
  void ProcessMessages() override;
  // Wine's EDIT takes tens of microseconds a line, which the server would wait
  // for between its answers if one thread did both.
  bool ReadsOutputOnAThread() const override { return true; }
  void WaitForMessages(int ms) override;
  void Run(TForm& mainForm) override;
  void Terminate() override;
  bool Terminated() const override { return terminated_; }

  void TimerChanged(TTimer& timer) override;
  void TimerDestroyed(TTimer& timer) override;
  void FormVisibilityChanged(TForm& form) override;

  TBoxResult ShowMessageBox(const TMessageBox& box) override;
  std::optional<std::string> BrowseForComputer(const std::string& instruction) override;
  std::optional<std::string> ExecuteOpenDialog(const TOpenDialog& dialog) override;
  std::optional<std::string> SelectDirectory(const TFolderDialog& dialog) override;
  void ShowModal(TFrmSelectIconSet& chooser) override;
  ITrayEntry& Tray() override;
  TTrayCommand TrackTrayMenu(TForm& owner) override;
  std::optional<TLoginEntry> AskLogin(const std::string& userName) override;
  void ShowRestore(TRestoreDialog& dialog) override;

  // Builds the real controls of the settings window over the model (Run does
  // it; tests call it to drive the window without a loop) and takes them down.
  void AttachMainForm(TForm& form);
  void DetachMainForm();
  HWND MainWindow() const;
  // The real controls while a settings window is attached, else null.
  TSettingsView* SettingsView() const;
  HINSTANCE Instance() const { return instance_; }
  // Where a posted message for this target goes; the main window by default.
  void MapTarget(IMessageTarget& target, HWND window) { targets_[&target] = window; }
  void UnmapTarget(IMessageTarget& target) { targets_.erase(&target); }

  // Called by the main window's procedure.
  void TimerFired(UINT_PTR id);
  bool ForwardToTray(UINT msg);

 private:
  // The owner of a box or dialog: the active window of this thread, else the main window.
  HWND DialogOwner() const;
  bool Dispatched(MSG& message);

  HINSTANCE instance_;
  TSystemClock clock_;
  std::unique_ptr<TMainWindow> main_;
  std::unique_ptr<TWin32TrayEntry> tray_;
  std::map<IMessageTarget*, HWND> targets_;
  std::map<UINT_PTR, TTimer*> timers_;
  UINT_PTR nextTimerId_ = 1;
  bool terminated_ = false;
};

}  // namespace odb
