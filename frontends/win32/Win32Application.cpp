#include "frontends/win32/Win32Application.h"

#include "app/Controls.h"
#include "app/Form.h"
#include "common/Utf16_win.h"
#include "frontends/win32/LoginDialog.h"
#include "frontends/win32/RestoreDialog.h"
#include "frontends/win32/MainWindow.h"
#include "frontends/win32/MessageBoxes.h"
#include "frontends/win32/Win32Dialogs.h"
#include "frontends/win32/Win32Errors.h"
#include "frontends/win32/Win32Shell.h"
#include "platform/FolderDialog.h"

namespace odb {

TWin32Application::TWin32Application(HINSTANCE instance)
    : instance_(instance), main_(std::make_unique<TMainWindow>(*this, instance)) {}

TWin32Application::~TWin32Application() {
  DetachMainForm();
  for (const auto& [id, timer] : timers_) KillTimer(main_->Handle(), id);
  tray_.reset();
  main_.reset();
}

HWND TWin32Application::MainWindow() const { return main_->Handle(); }

TSettingsView* TWin32Application::SettingsView() const { return main_->View(); }

void TWin32Application::PostMessage(IMessageTarget& target, unsigned msg, intptr_t wParam,
                                    intptr_t lParam) {
  const auto found = targets_.find(&target);
  if (found != targets_.end()) {
    if (!::PostMessageW(found->second, msg, static_cast<WPARAM>(wParam), lParam)) {
      win::ReportLastError("PostMessageW");
    }
    return;
  }
  // A target without a window of its own (the form before its controls
  // exist): the main window hands the message over when it comes out of the queue.
  auto* posted = new TPostedMessage{&target, msg, wParam, lParam};
  if (!::PostMessageW(main_->Handle(), TMainWindow::WM_DELIVER, 0, reinterpret_cast<LPARAM>(posted))) {
    win::ReportLastError("PostMessageW");
    delete posted;
  }
}

bool TWin32Application::Dispatched(MSG& message) {
  if (message.message == WM_QUIT) {
    terminated_ = true;
    return false;
  }
  if (!main_->PreTranslate(message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

void TWin32Application::ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!Dispatched(message)) {
      // The outer loop must see the quit as well.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
  }
}

void TWin32Application::WaitForMessages(int ms) {
  // Once the program is ending, the quit waits in the queue for the outer
  // loop and would end every wait at once.
  if (terminated_) {
    Sleep(static_cast<DWORD>(ms));
    return;
  }
  // Input already waiting counts too, not only what comes after the last look.
  MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(ms), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void TWin32Application::Run(TForm& mainForm) {
  AttachMainForm(mainForm);
  if (ShowMainFormOnRun) mainForm.Show();
  MSG message;
  while (!terminated_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!Dispatched(message)) break;
  }
  terminated_ = true;
  if (mainForm.Visible()) main_->Hide();
  DetachMainForm();
}

void TWin32Application::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

void TWin32Application::AttachMainForm(TForm& form) {
  main_->Attach(form);
  MapTarget(form, main_->Handle());
}

void TWin32Application::DetachMainForm() {
  if (TForm* form = main_->Form()) UnmapTarget(*form);
  main_->Detach();
}

void TWin32Application::TimerChanged(TTimer& timer) {
  UINT_PTR id = 0;
  for (const auto& [key, value] : timers_) {
    if (value == &timer) id = key;
  }
  if (!timer.Enabled()) {
    if (id) KillTimer(main_->Handle(), id);
    timers_.erase(id);
    return;
  }
  if (!id) id = nextTimerId_++;
  timers_[id] = &timer;
  // Without its timer the scheduler would silently make no backup.
  if (!SetTimer(main_->Handle(), id, timer.Interval(), nullptr)) {
    ErrorBox(win::LastErrorText("SetTimer"));
  }
}

void TWin32Application::TimerDestroyed(TTimer& timer) {
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->second == &timer) {
      if (main_) KillTimer(main_->Handle(), it->first);
      timers_.erase(it);
      return;
    }
  }
}

void TWin32Application::TimerFired(UINT_PTR id) {
  const auto found = timers_.find(id);
  if (found != timers_.end() && found->second->OnTimer) found->second->OnTimer();
}

void TWin32Application::FormVisibilityChanged(TForm& form) {
  if (&form != main_->Form()) return;
  if (!form.Visible()) {
    main_->Hide();
  } else if (IsWindowVisible(main_->TaskbarHandle())) {
    // Shown already, perhaps minimised or covered: where the user left it.
    main_->BringToFront();
  } else {
    main_->ShowCentred();
  }
}

HWND TWin32Application::DialogOwner() const {
  // A box owned by the window it belongs to cannot fall behind it.
  HWND active = GetActiveWindow();
  if (active && active != main_->TaskbarHandle()) return active;
  return IsWindowVisible(main_->Handle()) ? main_->Handle() : nullptr;
}

TBoxResult TWin32Application::ShowMessageBox(const TMessageBox& box) {
  UINT type = MB_SETFOREGROUND;
  switch (box.buttons) {
    case TBoxButtons::Ok: type |= MB_OK; break;
    case TBoxButtons::YesNo: type |= MB_YESNO; break;
    case TBoxButtons::OkCancel: type |= MB_OKCANCEL; break;
  }
  switch (box.icon) {
    case TBoxIcon::Error: type |= MB_ICONERROR; break;
    case TBoxIcon::Question: type |= MB_ICONQUESTION; break;
    case TBoxIcon::Information: type |= MB_ICONINFORMATION; break;
    case TBoxIcon::None: break;
  }
  HWND owner = DialogOwner();
  if (!owner) type |= MB_TASKMODAL;
  const int answer = win::CzechMessageBox(owner, Widen(box.text), Widen(box.title), type);
  // Read by the buttons the box has: Wine answers Esc with IDCANCEL also
  // where there is no Storno, Windows with IDOK or not at all.
  switch (box.buttons) {
    case TBoxButtons::Ok: return TBoxResult::Ok;
    case TBoxButtons::YesNo: return answer == IDYES ? TBoxResult::Yes : TBoxResult::No;
    case TBoxButtons::OkCancel: return answer == IDOK ? TBoxResult::Ok : TBoxResult::Cancel;
  }
  return TBoxResult::Cancel;
}

std::optional<std::string> TWin32Application::BrowseForComputer(const std::string& instruction) {
  return win::BrowseForComputer(DialogOwner(), instruction);
}

std::optional<std::string> TWin32Application::ExecuteOpenDialog(const TOpenDialog& dialog) {
  return win::ExecuteOpenDialog(DialogOwner(), dialog);
}

std::optional<std::string> TWin32Application::SelectDirectory(const TFolderDialog& dialog) {
  return win::SelectFolder(*this, DialogOwner(), dialog);
}

void TWin32Application::ShowModal(TFrmSelectIconSet& chooser) {
  ShowIconChooser(main_->Handle(), instance_, chooser);
}

ITrayEntry& TWin32Application::Tray() {
  if (!tray_) tray_ = std::make_unique<TWin32TrayEntry>(main_->Handle(), instance_);
  return *tray_;
}

bool TWin32Application::ForwardToTray(UINT msg) { return tray_ && tray_->HandleMessage(msg); }

void TWin32Application::ShowRestore(TRestoreDialog& dialog) {
  win::ShowRestoreDialog(instance_, DialogOwner(), dialog);
}

std::optional<TLoginEntry> TWin32Application::AskLogin(const std::string& userName) {
  return win::AskLogin(instance_, DialogOwner(), userName);
}

TTrayCommand TWin32Application::TrackTrayMenu(TForm&) {
  return odb::TrackTrayMenu(main_->Handle(), instance_);
}

}  // namespace odb
