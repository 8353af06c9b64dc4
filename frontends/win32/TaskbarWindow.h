#pragma once
// The window behind the program's taskbar button. The settings window is
// owned by it, so the button reads the application title rather than the
// settings window's caption. It is shown with the settings window, has no
// size, and takes minimising for it: the owned window goes with it.
#include <windows.h>

#include <string>

namespace odb {

class TTaskbarWindow {
 public:
  explicit TTaskbarWindow(HINSTANCE instance);
  ~TTaskbarWindow();
  TTaskbarWindow(const TTaskbarWindow&) = delete;
  TTaskbarWindow& operator=(const TTaskbarWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  // The settings window, which gets the close, the focus and the restore.
  void SetOwned(HWND owned) { owned_ = owned; }
  // Shows the button, restoring the owned window if it was minimised.
  void Show(const std::string& title);
  void Hide();
  void Minimise();

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void Restored();

  HWND hwnd_ = nullptr;
  HWND owned_ = nullptr;
  // Whether minimising hid the owned window (Windows does it on its own, Wine not).
  bool ownedHidden_ = false;
};

}  // namespace odb
