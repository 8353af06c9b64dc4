#pragma once
// The platform boundary: what the program needs of the window system. The
// Win32 program implements it with real windows; the headless one (Linux
// program and tests) with a message queue of its own and virtual or real time.
#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "common/DateTime.h"

namespace odb {

class TForm;
class TTimer;
class TFrmSelectIconSet;
class TOpenDialog;
struct TRestoreDialog;
struct TFolderDialog;

enum class TBoxButtons { Ok, YesNo, OkCancel };
enum class TBoxIcon { Error, Question, Information, None };
enum class TBoxResult { Ok, Cancel, Yes, No };

struct TMessageBox {
  std::string text;
  std::string title;
  TBoxButtons buttons = TBoxButtons::Ok;
  TBoxIcon icon = TBoxIcon::Information;
};

// Receives posted window messages (the settings window, the log view).
class IMessageTarget {
 public:
  virtual ~IMessageTarget() = default;
  virtual void HandleMessage(unsigned msg, intptr_t wParam, intptr_t lParam) = 0;
};

// Window messages the program posts.
inline constexpr unsigned WM_NULL_MSG = 0x0000;
inline constexpr unsigned EM_SCROLLCARET_MSG = 0x00B7;
inline constexpr unsigned WM_TRAYNOTIFY = 1025;   // WM_USER + 1
inline constexpr unsigned WM_HIDEATSTART = 1026;  // WM_USER + 2
inline constexpr intptr_t WM_LBUTTONDOWN_MSG = 513;
inline constexpr intptr_t WM_RBUTTONDOWN_MSG = 516;

// The tray entry of the settings window: icon set 1 or 2, image 0..3.
class ITrayEntry {
 public:
  virtual ~ITrayEntry() = default;
  virtual void Add(int iconSet, int iconIndex, const std::string& tip) = 0;
  virtual void Modify(int iconSet, int iconIndex, const std::string& tip) = 0;
  virtual void Delete() = 0;
  // A notice from the entry with a warning icon (a balloon on Windows).
  virtual void ShowBalloon(const std::string& /*title*/, const std::string& /*text*/) {}
  // Takes down a balloon still standing, whose news no longer holds.
  virtual void HideBalloon() {}
};

// Items of the tray menu, top to bottom.
enum class TTrayCommand { None, OpenForm, CloseForm, AnimateIcons, Login, Restore, End };

// What the login dialog returns.
struct TLoginEntry {
  std::string UserName;
  std::string Password;
};

class TApplication {
 public:
  virtual ~TApplication() = default;

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  virtual TDateTime Now() const = 0;
  virtual void PostMessage(IMessageTarget& target, unsigned msg, intptr_t wParam = 0,
                           intptr_t lParam = 0) = 0;
  // Lets every waiting message (and a due timer) be handled, then returns.
  virtual void ProcessMessages() = 0;
  // A backup's output is read on another thread where showing it is costly
  // (a real window); this thread then waits here, up to ms, for a message.
  virtual bool ReadsOutputOnAThread() const { return false; }
  virtual void WaitForMessages(int ms);
  // The message loop: shows the main form (unless told not to) and runs until
  // Terminate.
  virtual void Run(TForm& mainForm) = 0;
  bool ShowMainFormOnRun = true;
  virtual void Terminate() = 0;
  virtual bool Terminated() const = 0;

  virtual void TimerChanged(TTimer& timer) = 0;
  virtual void TimerDestroyed(TTimer& timer) = 0;
  virtual void FormVisibilityChanged(TForm& form) = 0;

  // Modal; the message loop keeps running while the box is open.
  virtual TBoxResult ShowMessageBox(const TMessageBox& box) = 0;
  virtual std::optional<std::string> BrowseForComputer(const std::string& instruction) = 0;
  virtual std::optional<std::string> ExecuteOpenDialog(const TOpenDialog& dialog) = 0;
  // A folder chooser that offers to create a folder it cannot find.
  virtual std::optional<std::string> SelectDirectory(const TFolderDialog& dialog) = 0;
  virtual void ShowModal(TFrmSelectIconSet& chooser) = 0;

  virtual ITrayEntry& Tray() = 0;
  // Foreground, cursor position, popup menu; returns the picked item.
  virtual TTrayCommand TrackTrayMenu(TForm& owner) = 0;
  // The server login dialog (user name, password, OK/Storno); nothing when cancelled.
  virtual std::optional<TLoginEntry> AskLogin(const std::string& /*userName*/) { return std::nullopt; }
  // The restore dialog, modal; its restore lets the message loop run.
  virtual void ShowRestore(TRestoreDialog& /*dialog*/) {}

  // The three kinds of boxes the program shows.
  void ErrorBox(const std::string& text);
  [[nodiscard]] bool Confirm(const std::string& text);
  void Notice(const std::string& text);
  // The application's own box for an error that no handler caught.
  void ShowException(const std::exception& error);
  // Runs an event handler as the message loop does: an escaping error ends
  // the handler and is shown, and the program goes on.
  template <class Handler>
  void Dispatch(Handler&& handler) {
    try {
      handler();
    } catch (const std::exception& error) {
      ShowException(error);
    }
  }

 private:
  std::string title_;
};

}  // namespace odb
