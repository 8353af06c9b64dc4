#pragma once
// The settings window's top-level HWND: one static window procedure binds the
// object at WM_NCCREATE and hands each message to a small handler.
#include <windows.h>
// The model's TApplication::PostMessage is not the API macro.
#undef PostMessage

#include <memory>

#include "platform/Application.h"
#include "frontends/win32/TaskbarWindow.h"

namespace odb {

class TForm;
class TSettingsView;
class TWin32Application;

// A message for a target that has no window: carried through the queue.
struct TPostedMessage {
  IMessageTarget* target;
  unsigned msg;
  intptr_t wParam, lParam;
};

class TMainWindow {
 public:
  static constexpr UINT WM_DELIVER = WM_APP + 1;
  // Appends the log view lines gathered since the last message pump.
  static constexpr UINT WM_FLUSHMEMO = WM_APP + 2;
  static constexpr const wchar_t* ClassName = L"TFrmODBackupDB";

  TMainWindow(TWin32Application& app, HINSTANCE instance);
  ~TMainWindow();
  TMainWindow(const TMainWindow&) = delete;
  TMainWindow& operator=(const TMainWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  TForm* Form() const { return form_; }
  TSettingsView* View() const { return view_.get(); }
  void Attach(TForm& form);
  void Detach();
  HWND TaskbarHandle() const { return taskbar_.Handle(); }
  // Centred on the screen each time it is shown, and brought to the front;
  // never taller or wider than the work area.
  void ShowCentred();
  // The work area of the window's monitor.
  RECT WorkArea() const;
  // Restored when minimised and raised above whatever covers it, where it is.
  void BringToFront();
  void Hide();
  // Keyboard navigation: Tab, Enter for OK, Esc for Skrýt.
  bool PreTranslate(MSG& message);

 private:
  using THandler = LRESULT (TMainWindow::*)(WPARAM, LPARAM);
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  static THandler HandlerFor(UINT msg);
  SIZE DesignClient() const;

  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnCtlColor(WPARAM wParam, LPARAM lParam);
  LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
  LRESULT OnSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnMinMaxInfo(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  LRESULT OnClose(WPARAM wParam, LPARAM lParam);
  LRESULT OnDeliver(WPARAM wParam, LPARAM lParam);
  LRESULT OnFlushMemo(WPARAM wParam, LPARAM lParam);
  LRESULT OnFormMessage(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetDefId(WPARAM wParam, LPARAM lParam);
  LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);

  TWin32Application& app_;
  TTaskbarWindow taskbar_;
  HWND hwnd_ = nullptr;
  HWND lastFocus_ = nullptr;
  UINT currentMsg_ = 0;
  TForm* form_ = nullptr;
  std::unique_ptr<TSettingsView> view_;
};

}  // namespace odb
