#pragma once
// The real child controls of the settings window over the model controls of
// TFrmODBackupDB: model state is mirrored into them (TControlView), and user
// input goes back into the model, which raises the handlers.
#include <windows.h>
// The model's TApplication::PostMessage is not the API macro.
#undef PostMessage
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Controls.h"

namespace odb {

class TFrmODBackupDB;
class TTimesGrid;
class TWin32Application;

enum class TChildKind {
  Panel, Lowered, GroupBox, Page, Label, Bevel, Edit, Spin, UpDown, Check, Radio, Combo,
  Memo, Tab, FlatButton, PushButton, Grid
};

// Anchors keep a child's distance to those sides of its parent when it grows.
enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
inline constexpr unsigned akLT = akLeft | akTop, akLTR = akLeft | akTop | akRight,
                          akAll = akLeft | akTop | akRight | akBottom;

// The class of the settings window's panels, group boxes and tab pages.
void RegisterPanelClass(HINSTANCE instance);
// Lets the backup count edit take only digits and the signs.
void FilterSpinKeys(HWND edit);
// Leaves Tab and Esc of a multi-line edit to the dialog manager.
void LeaveDialogKeys(HWND edit);

class TSettingsView final : public TControlView {
 public:
  // designClient: the window's client area at its layout size, in 96-dpi pixels.
  TSettingsView(TWin32Application& app, TFrmODBackupDB& form, HWND window, SIZE designClient);
  ~TSettingsView() override;
  TSettingsView(const TSettingsView&) = delete;
  TSettingsView& operator=(const TSettingsView&) = delete;

  // Model to view.
  void Changed(TControl& control) override;
  void LineAdded(TMemo& memo, std::string_view line) override;
  // Lines reach the log view at most ten times a second, in parts of at most
  // kMemoPartLines: each append makes the EDIT control lay out and repaint.
  void FlushMemoLines();

  // View to model, and painting; called by the main window.
  void Command(int id, int code, HWND from);
  LRESULT Notify(NMHDR& header);
  HBRUSH CtlColor(HDC dc, HWND child);
  void DrawItem(const DRAWITEMSTRUCT& item);
  void Layout();
  void PaintPanel(HWND panel, HDC dc);
  // The body's scroll bar and the mouse wheel over it; true when handled.
  bool ScrollMessage(HWND panel, UINT msg, WPARAM wParam);
  // Scrolls the body so the control's window is in view (the keyboard focus
  // does so); nothing to do when the body is not scrolled.
  void ScrollIntoView(HWND hwnd);
  // Below this client height (96-dpi pixels) the body scrolls.
  int LeastClientHeight() const { return designClient_.cy - (kInfoHeight - kInfoLeastHeight); }
  // The status strip's lines as drawn, each cut to the strip's width with "…".
  std::vector<std::wstring> StripLinesShown(bool* cut = nullptr) const;
  // The strip's tooltip: its whole text when a row is cut, else none.
  std::wstring StripTip() const;
  // Tab, Shift+Tab, Ctrl+Tab, Ctrl+Page Down/Up; true when handled.
  bool NavigationKey(WPARAM key);
  void FocusFirst();

  // The real window of a model control (tests drive it).
  HWND WindowOf(const TControl& control) const;
  HWND PageWindow(int page) const;
  TTimesGrid& Grid() { return *grid_; }

 private:
  // Seven lines of the log: the mirror's rows took the rest, so that the window
  // still fits a screen 768 pixels high at 96 dpi.
  static constexpr int kInfoHeight = 110;
  // The least the log group keeps, its caption and two lines, when the window
  // is shorter than its layout (a screen of fewer pixels than the dpi needs).
  static constexpr int kInfoLeastHeight = 52;

  // A rectangle in 96-dpi pixels, relative to the parent.
  struct TBox {
    int x, y, w, h;
  };
  struct TChild {
    TChildKind kind;
    TControl* model;
    int parent;  // index into children_, -1 for the window itself
    TBox design;
    unsigned anchors;
    HWND hwnd = nullptr;
    TBox actual{};
  };

  // Building the window (SettingsLayout.cpp).
  void Build();
  void BuildTop();
  void BuildBottom();
  void BuildDatabase(int body);
  void BuildData(int body);
  void BuildPathsPage(int page);
  void BuildPlanPage(int page);
  int Add(TChildKind kind, TControl* model, int parent, TBox design, unsigned anchors,
          DWORD style = 0);
  HWND CreateChild(const TChild& child, int id, DWORD style);
  void AddHints();
  TBox PageBox() const;
  void Place(TChild& child, TBox box, int shiftPx = 0);
  TBox BodyChildBox(const TChild& child) const;
  void FitBodyScroll(const TChild& body);
  void ScrollBodyTo(int px);

  // Mirroring and input (SettingsMirror.cpp).
  void Mirror(TChild& child);
  void MirrorMemo(TMemo& memo, HWND edit);
  void ShowActivePage();
  void SpinDelta(HWND updown, int delta);
  // A number edit with its up and down buttons, which step it by one.
  void AddSpin(TSpinEdit& spin, TControl& buttons, int page, int x, int y);
  int IndexOf(HWND hwnd) const;

  // Keyboard (SettingsKeys.cpp).
  bool TabStop(const TChild& child) const;
  bool FocusNext(bool back);
  bool SelectRadio(bool forward);
  void Focus(const TChild& child);
  void SwitchPage(int delta);

  // Painting (SettingsPaint.cpp).
  TColor ColorOf(int index) const;
  int ImageOf(const TChild& child) const;
  void DrawStrip(const DRAWITEMSTRUCT& item);
  void AddStripTip();
  LRESULT StripTipText(NMTTDISPINFOW& info);

  TWin32Application& app_;
  TFrmODBackupDB& form_;
  HWND window_;
  std::wstring pendingLines_;
  // Log view updates: at most one per kMemoUpdateMs while lines stream in.
  static constexpr DWORD kMemoUpdateMs = 100;
  static constexpr UINT_PTR kMemoTimerId = 0x4D45;
  DWORD lastMemoUpdate_ = GetTickCount() - kMemoUpdateMs;
  // At most this many lines in one update; the rest follow at once, in parts.
  static constexpr int kMemoPartLines = 200;
  bool memoCatchingUp_ = false;
  SIZE designClient_{};
  // The body in 96-dpi pixels as its children are laid out in it, and how far
  // it is scrolled (screen pixels); it scrolls once the log is at its least.
  TBox bodyContent_{};
  int bodyScroll_ = 0;
  int body_ = -1;
  std::wstring stripTip_;
  std::vector<TChild> children_;
  std::map<const TControl*, int> byModel_;
  std::vector<int> pages_;
  int tab_ = -1;
  HIMAGELIST images_ = nullptr;
  HWND tooltip_ = nullptr;
  TControl bevHoriz_{"bevHoriz"};
  TControl updown_{"sedtBackupCountButtons"};
  TControl mirrorUpdown_{"sedtMirrorCountButtons"};
  std::unique_ptr<TTimesGrid> grid_;
};

}  // namespace odb
