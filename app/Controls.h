#pragma once
// The settings window's controls as plain objects. They keep their state and
// raise their events by the program's conventions, and a platform view (if
// any) only mirrors them.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "backup/RunInterfaces.h"
#include "platform/Application.h"
#include "platform/OpenDialog.h"

namespace odb {

// RGB as 0x00BBGGRR; system colours as 0x80000000 | COLOR_* index.
using TColor = uint32_t;
constexpr TColor Rgb(int r, int g, int b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
inline constexpr TColor clInactiveCaption = 0x80000003;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clInfoBk = 0x80000018;
inline constexpr TColor clGradientActiveCaption = 0x8000001B;
inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clMoneyGreen = Rgb(192, 220, 192);

class TControl;
class TMemo;

// What a platform view of a control implements to follow the model.
class TControlView {
 public:
  virtual ~TControlView() = default;
  virtual void Changed(TControl& control) = 0;
  // A memo line appended: a view can add it without copying the whole text.
  virtual void LineAdded(TMemo& memo, std::string_view line);
};

class TControl {
 public:
  explicit TControl(std::string name, std::string caption = {}) : Name(std::move(name)), caption_(std::move(caption)) {}
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  const std::string Name;
  std::string Hint;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor color);

  void SetView(TControlView* view) { view_ = view; }
  TControlView* View() const { return view_; }

  // A change of the value the control holds, raised before its own event, so
  // that the handler already finds the live settings in step.
  std::function<void()> OnValueChanged;

 protected:
  void Changed();
  void ValueChanged() {
    if (OnValueChanged) OnValueChanged();
  }

 private:
  std::string caption_;
  bool enabled_ = true;
  TColor color_ = clBtnFace;
  TColor fontColor_ = clWindowText;
  TControlView* view_ = nullptr;
};

using TNotifyEvent = std::function<void(TControl& sender)>;

class TLabel : public TControl {
 public:
  using TControl::TControl;
};

// Panels and group boxes: a caption and a colour.
class TPanel : public TControl {
 public:
  using TControl::TControl;
};

class TButton : public TControl {
 public:
  using TControl::TControl;
  TNotifyEvent OnClick;
  void Click();
};

// Raises OnClick on every change of its state, also a programmatic one.
class TCheckBox : public TControl {
 public:
  using TControl::TControl;
  TNotifyEvent OnClick;
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Click() { SetChecked(!checked_); }

 private:
  bool checked_ = false;
};

// Raises OnClick only when it becomes selected; selecting one deselects the
// others of its group.
class TRadioButton : public TControl {
 public:
  using TControl::TControl;
  TNotifyEvent OnClick;
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Click() { SetChecked(true); }
  static void Group(std::initializer_list<TRadioButton*> buttons);

 private:
  bool checked_ = false;
  std::vector<TRadioButton*> group_;
};

// Raises OnChange on every change of its text, typed or set.
class TEdit : public TControl {
 public:
  using TControl::TControl;
  TNotifyEvent OnChange;
  const std::string& Text() const { return text_; }
  void SetText(std::string text);

 private:
  std::string text_;
};

// A whole number shown as text; no limits, no change handler.
class TSpinEdit : public TControl {
 public:
  using TControl::TControl;
  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  // The number the text holds; 0 when it holds none.
  long long Value() const;
  void SetValue(long long value) { SetText(std::to_string(value)); }

 private:
  std::string text_ = "0";
};

// A drop-down list without free text. OnChange is raised only by the user's pick.
class TComboBox : public TControl {
 public:
  using TControl::TControl;
  TNotifyEvent OnChange;
  std::vector<std::string> Items;
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  void UserPick(int index);

 private:
  int itemIndex_ = -1;
};

class TMemo : public TControl, public IMessageTarget, public IBackupOutput {
 public:
  using TControl::TControl;
  const std::vector<std::string>& Lines() const { return lines_; }
  void Clear() override;
  void AddLine(std::string line) override;
  // Replaces the content by text split at its line breaks.
  void SetText(std::string_view text);
  std::string Text() const;
  void Repaint() override { ++repaints_; }
  int Repaints() const { return repaints_; }
  int CaretScrolls() const { return caretScrolls_; }
  void HandleMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;

 private:
  std::vector<std::string> lines_;
  int repaints_ = 0;
  int caretScrolls_ = 0;
};

class TPageControl : public TControl {
 public:
  using TControl::TControl;
  std::vector<std::string> Pages;
  int ActivePageIndex() const { return active_; }
  void SetActivePageIndex(int index);

 private:
  int active_ = 0;
};

// A window timer; the application delivers its ticks.
class TTimer : public IBackupTimer {
 public:
  TTimer(TApplication& app, unsigned interval) : app_(app), interval_(interval) {}
  ~TTimer() { app_.TimerDestroyed(*this); }
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  std::function<void()> OnTimer;
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned interval) override;

 private:
  TApplication& app_;
  bool enabled_ = false;
  unsigned interval_;
};

}  // namespace odb
