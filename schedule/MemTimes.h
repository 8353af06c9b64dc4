#pragma once
// The in-memory table of backup times of day: fields ID and TIME, rows kept in
// ascending order of TIME, events as the data module wires them, and a view
// hook for the bound grid.
#include "common/DateTime.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace odb {

enum class TDataSetState { Inactive, Browse, Edit, Insert };

// What a bound view needs to show a field; ReadOnly and the range are enforced
// by the table.
struct TFieldInfo {
  std::string FieldName;
  std::string DisplayLabel;
  int DisplayWidth = 0;
  std::string DisplayFormat;
  bool ReadOnly = false;
  bool Required = true;
  int32_t MinValue = 0;
  int32_t MaxValue = 0;
};

class TMemTimes {
 public:
  using TEvent = std::function<void(TMemTimes&)>;
  struct TRow {
    std::optional<int32_t> id;
    std::optional<TDateTime> time;
  };

  TFieldInfo FieldID{"ID", "P.Č.", 4, "", true, true, 1, 30};
  TFieldInfo FieldTIME{"TIME", "Čas", 8, "hh:nn:ss", false, true, 0, 0};
  TEvent OnNewRecord;
  TEvent BeforePost;
  TEvent AfterPost;
  // After every change of the stored rows (a post, a deletion, emptying).
  TEvent OnRowsChanged;

  void Open();
  // Closing an in-memory table drops its rows; a pending change is cancelled.
  void Close();
  bool Active() const { return state_ != TDataSetState::Inactive; }
  TDataSetState State() const { return state_; }
  void EmptyTable();

  void Append();
  void Insert();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // Completes a pending change: posted when modified, cancelled otherwise.
  void CheckBrowseMode();
  // Re-sorts by TIME, stable for equal times, keeping the current row.
  void SortByTime();

  void First();
  void Next();
  bool Eof() const;
  int RecordCount() const;
  // Index of the current row in table order (the pending row's place while inserting).
  int RecNo() const;
  const TRow& Row(int index) const;
  // The stored times in table order.
  std::vector<TDateTime> Times() const;

  // The current row, or the pending one while editing or inserting.
  std::optional<int32_t> ID() const;
  // Only while a new row is started and FieldID.ReadOnly is off; range checked.
  void SetID(int32_t value);
  std::optional<TDateTime> Time() const;
  bool IsTimeNull() const { return !Time().has_value(); }
  bool Modified() const { return modified_; }
  // Empty text clears the time; text that is not a time raises EConvertError.
  void SetTimeText(std::string_view text);
  // The date part is dropped: the field holds a time of day.
  void SetTime(std::optional<TDateTime> time);

  // A bound view is redrawn through this hook, but only while controls are enabled.
  void SetViewObserver(std::function<void()> observer) { observer_ = std::move(observer); }
  void DisableControls() { ++disabled_; }
  void EnableControls();
  bool ControlsDisabled() const { return disabled_ > 0; }

 private:
  void CheckActive() const;
  void CheckEditing() const;
  void StartNewRow(int at);
  const TRow& Current() const;
  void Changed();
  void RowsChanged();

  TDataSetState state_ = TDataSetState::Inactive;
  std::vector<TRow> rows_;
  TRow buffer_;
  int cursor_ = 0;
  bool eof_ = true;
  bool modified_ = false;
  int disabled_ = 0;
  bool viewStale_ = false;
  std::function<void()> observer_;
};

// Keeps the bound view from redrawing for the life of the guard.
class TControlsDisabled {
 public:
  explicit TControlsDisabled(TMemTimes& table) : table_(table) { table_.DisableControls(); }
  ~TControlsDisabled() { table_.EnableControls(); }
  TControlsDisabled(const TControlsDisabled&) = delete;
  TControlsDisabled& operator=(const TControlsDisabled&) = delete;

 private:
  TMemTimes& table_;
};

}  // namespace odb
