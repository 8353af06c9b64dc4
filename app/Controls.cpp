#include "app/Controls.h"

#include <cstdint>
#include <limits>

#include "common/Text.h"

namespace odb {

void TControlView::LineAdded(TMemo& memo, std::string_view) { Changed(memo); }

void TControl::Changed() {
  if (view_) view_->Changed(*this);
}

void TControl::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TControl::SetFontColor(TColor color) {
  if (color == fontColor_) return;
  fontColor_ = color;
  Changed();
}

void TButton::Click() {
  if (OnClick) OnClick(*this);
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed();
  ValueChanged();
  if (OnClick) OnClick(*this);
}

void TRadioButton::Group(std::initializer_list<TRadioButton*> buttons) {
  for (TRadioButton* button : buttons) button->group_.assign(buttons);
}

void TRadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed();
  if (checked) {
    for (TRadioButton* other : group_) {
      if (other != this && other->checked_) {
        other->checked_ = false;
        other->Changed();
      }
    }
  }
  // Once the group is settled, so the value read is the group's.
  ValueChanged();
  if (checked && OnClick) OnClick(*this);
}

void TEdit::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Changed();
  ValueChanged();
  if (OnChange) OnChange(*this);
}

void TSpinEdit::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Changed();
  ValueChanged();
}

long long TSpinEdit::Value() const {
  std::string_view text = text_;
  if (text.starts_with('+')) text.remove_prefix(1);
  const bool negative = text.starts_with('-');
  size_t end = negative ? 1 : 0;
  const TDigitRun digits = ReadDigits(text, end);
  const uint64_t limit = uint64_t{std::numeric_limits<long long>::max()} + (negative ? 1 : 0);
  if (digits.count == 0 || end != text.size() || digits.value > limit) return 0;
  return negative ? static_cast<long long>(0 - digits.value) : static_cast<long long>(digits.value);
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(Items.size())) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Changed();
}

void TComboBox::UserPick(int index) {
  SetItemIndex(index);
  if (OnChange) OnChange(*this);
}

void TMemo::Clear() {
  if (lines_.empty()) return;
  lines_.clear();
  Changed();
}

void TMemo::AddLine(std::string line) {
  lines_.push_back(std::move(line));
  if (View()) View()->LineAdded(*this, lines_.back());
}

void TMemo::SetText(std::string_view text) {
  // A visible log view is reloaded with the whole log on every entry: the
  // lines it held are overwritten in place rather than freed and allocated anew.
  size_t count = 0;
  size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    auto line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (count < lines_.size()) {
      lines_[count].assign(line);
    } else {
      lines_.emplace_back(line);
    }
    ++count;
    start = end + 1;
  }
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(count), lines_.end());
  Changed();
}

std::string TMemo::Text() const {
  std::string text;
  for (const auto& line : lines_) text.append(line).append("\r\n");
  return text;
}

void TMemo::HandleMessage(unsigned msg, intptr_t, intptr_t) {
  if (msg == EM_SCROLLCARET_MSG) ++caretScrolls_;
}

void TPageControl::SetActivePageIndex(int index) {
  if (index == active_) return;
  active_ = index;
  Changed();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  app_.TimerChanged(*this);
}

void TTimer::SetInterval(unsigned interval) {
  if (interval == interval_) return;
  interval_ = interval;
  app_.TimerChanged(*this);
}

}  // namespace odb
