#include "schedule/MemTimes.h"

#include "common/Errors.h"
#include "common/Format.h"
#include "common/Text.h"
#include "config/TimeOfDay.h"
#include "schedule/ScheduleTexts.h"

#include <algorithm>

namespace odb {
namespace {

std::string RangeErrorText(long long value, const TFieldInfo& field) {
  std::string out(msg::FieldRange);
  const std::string args[] = {std::to_string(value), field.DisplayLabel, std::to_string(field.MinValue),
                              std::to_string(field.MaxValue)};
  size_t from = 0;
  for (const std::string& arg : args) {
    const size_t at = out.find('%', from);
    out.replace(at, 2, arg);
    from = at + arg.size();
  }
  return out;
}

}  // namespace

void TMemTimes::Open() {
  if (Active()) return;
  rows_.clear();
  state_ = TDataSetState::Browse;
  cursor_ = 0;
  eof_ = true;
  Changed();
}

void TMemTimes::Close() {
  state_ = TDataSetState::Inactive;
  rows_.clear();
  modified_ = false;
  cursor_ = 0;
  eof_ = true;
  Changed();
  RowsChanged();
}

void TMemTimes::EmptyTable() {
  CheckActive();
  Cancel();
  rows_.clear();
  cursor_ = 0;
  eof_ = true;
  Changed();
  RowsChanged();
}

void TMemTimes::CheckActive() const {
  if (!Active()) throw EDatabaseError(std::string(msg::DataSetClosed));
}

void TMemTimes::CheckEditing() const {
  if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert) {
    throw EDatabaseError(std::string(msg::NotEditing));
  }
}

void TMemTimes::Append() {
  CheckBrowseMode();
  StartNewRow(static_cast<int>(rows_.size()));
}

void TMemTimes::Insert() {
  CheckBrowseMode();
  StartNewRow(std::min(cursor_, static_cast<int>(rows_.size())));
}

void TMemTimes::StartNewRow(int at) {
  buffer_ = TRow{};
  cursor_ = at;
  state_ = TDataSetState::Insert;
  modified_ = false;
  try {
    if (OnNewRecord) OnNewRecord(*this);
  } catch (...) {
    Cancel();
    throw;
  }
  Changed();
}

void TMemTimes::Edit() {
  CheckActive();
  if (state_ != TDataSetState::Browse) return;
  if (rows_.empty()) return Append();
  buffer_ = rows_[cursor_];
  state_ = TDataSetState::Edit;
  modified_ = false;
  Changed();
}

void TMemTimes::Post() {
  CheckEditing();
  if (BeforePost) BeforePost(*this);
  // The before-post rule may have abandoned the change.
  if (state_ == TDataSetState::Browse) return;
  if (!buffer_.id) throw EDatabaseError(FormatMsg(msg::FieldRequired, FieldID.DisplayLabel));
  if (!buffer_.time) throw EDatabaseError(FormatMsg(msg::FieldRequired, FieldTIME.DisplayLabel));
  if (state_ == TDataSetState::Insert) {
    rows_.insert(rows_.begin() + cursor_, buffer_);
  } else {
    rows_[cursor_] = buffer_;
  }
  state_ = TDataSetState::Browse;
  modified_ = false;
  eof_ = false;
  Changed();
  if (AfterPost) AfterPost(*this);
  RowsChanged();
}

void TMemTimes::Cancel() {
  if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert) return;
  state_ = TDataSetState::Browse;
  modified_ = false;
  buffer_ = TRow{};
  cursor_ = std::clamp(cursor_, 0, std::max(0, static_cast<int>(rows_.size()) - 1));
  eof_ = rows_.empty();
  Changed();
}

void TMemTimes::Delete() {
  CheckActive();
  if (state_ == TDataSetState::Insert) return Cancel();
  if (rows_.empty()) throw EDatabaseError(std::string(msg::DataSetEmpty));
  Cancel();
  rows_.erase(rows_.begin() + cursor_);
  cursor_ = std::clamp(cursor_, 0, std::max(0, static_cast<int>(rows_.size()) - 1));
  eof_ = rows_.empty();
  Changed();
  RowsChanged();
}

void TMemTimes::CheckBrowseMode() {
  CheckActive();
  if (state_ == TDataSetState::Browse) return;
  if (modified_) {
    Post();
  } else {
    Cancel();
  }
}

void TMemTimes::SortByTime() {
  if (rows_.size() < 2) return;
  const std::optional<int32_t> currentId = rows_[cursor_].id;
  std::stable_sort(rows_.begin(), rows_.end(), [](const TRow& a, const TRow& b) { return a.time < b.time; });
  const auto at = std::find_if(rows_.begin(), rows_.end(), [&](const TRow& r) { return r.id == currentId; });
  cursor_ = static_cast<int>(at - rows_.begin());
  Changed();
}

void TMemTimes::First() {
  CheckBrowseMode();
  cursor_ = 0;
  eof_ = rows_.empty();
  Changed();
}

void TMemTimes::Next() {
  CheckBrowseMode();
  if (cursor_ + 1 < static_cast<int>(rows_.size())) {
    ++cursor_;
  } else {
    eof_ = true;
  }
  Changed();
}

bool TMemTimes::Eof() const { return !Active() || eof_; }

int TMemTimes::RecordCount() const { return static_cast<int>(rows_.size()); }

int TMemTimes::RecNo() const { return cursor_; }

const TMemTimes::TRow& TMemTimes::Row(int index) const { return rows_.at(static_cast<size_t>(index)); }

const TMemTimes::TRow& TMemTimes::Current() const {
  static const TRow none;
  if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) return buffer_;
  return rows_.empty() ? none : rows_[cursor_];
}

std::optional<int32_t> TMemTimes::ID() const { return Current().id; }

std::optional<TDateTime> TMemTimes::Time() const { return Current().time; }

void TMemTimes::SetID(int32_t value) {
  CheckEditing();
  if (FieldID.ReadOnly) throw EDatabaseError(FormatMsg(msg::FieldReadOnly, FieldID.DisplayLabel));
  if (value < FieldID.MinValue || value > FieldID.MaxValue) throw ERangeError(RangeErrorText(value, FieldID));
  buffer_.id = value;
  modified_ = true;
  Changed();
}

void TMemTimes::SetTime(std::optional<TDateTime> time) {
  CheckEditing();
  buffer_.time = time ? std::optional<TDateTime>(time->TimeOnly()) : std::nullopt;
  modified_ = true;
  Changed();
}

void TMemTimes::SetTimeText(std::string_view text) {
  CheckEditing();
  if (IsBlankText(text, TBlanks::SpaceTab)) return SetTime(std::nullopt);
  const auto time = TryStrToTime(text);
  if (!time) throw EConvertError(FormatMsg(msg::InvalidTime, text));
  SetTime(time);
}

void TMemTimes::EnableControls() {
  if (disabled_ > 0 && --disabled_ == 0 && viewStale_) {
    viewStale_ = false;
    if (observer_) observer_();
  }
}

std::vector<TDateTime> TMemTimes::Times() const {
  std::vector<TDateTime> times;
  for (const TRow& row : rows_) {
    if (row.time) times.push_back(*row.time);
  }
  return times;
}

void TMemTimes::RowsChanged() {
  if (OnRowsChanged) OnRowsChanged(*this);
}

void TMemTimes::Changed() {
  if (disabled_ > 0) {
    viewStale_ = true;
  } else if (observer_) {
    observer_();
  }
}

}  // namespace odb
