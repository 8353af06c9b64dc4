#pragma once
// The program's date-time: local time counted from 30.12.1899, as the
// configuration file, the log and the schedule all use it. It is kept as whole
// milliseconds so that comparisons such as "c <= now" are exact; the day-count
// form (days with the time as fraction) exists only at the edges.
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace odb {

class TDateTime {
 public:
  static constexpr int64_t MsPerDay = 86'400'000;

  constexpr TDateTime() = default;
  static constexpr TDateTime FromMs(int64_t ms) { return TDateTime(ms); }
  static TDateTime Encode(int year, int month, int day, int hour = 0, int minute = 0,
                          int second = 0, int ms = 0);
  static TDateTime FromDays(double days);
  // A time of day, for example from the times table, as an offset from midnight.
  static constexpr TDateTime TimeOfDay(int hour, int minute, int second) {
    return TDateTime((int64_t{hour} * 3600 + minute * 60 + second) * 1000);
  }

  constexpr int64_t Ms() const { return ms_; }
  double ToDays() const { return static_cast<double>(ms_) / MsPerDay; }
  TDateTime DateOnly() const;
  TDateTime TimeOnly() const { return TDateTime(ms_ - DateOnly().ms_); }
  constexpr TDateTime AddDays(int64_t days) const { return TDateTime(ms_ + days * MsPerDay); }
  constexpr TDateTime AddMs(int64_t ms) const { return TDateTime(ms_ + ms); }
  constexpr TDateTime operator+(TDateTime timeOfDay) const { return TDateTime(ms_ + timeOfDay.ms_); }
  // ISO weekday of the date: 1 = Monday ... 7 = Sunday.
  int IsoWeekday() const;

  struct Parts {
    int year, month, day, hour, minute, second, ms;
  };
  Parts Decode() const;

  constexpr auto operator<=>(const TDateTime&) const = default;

 private:
  constexpr explicit TDateTime(int64_t ms) : ms_(ms) {}
  int64_t ms_ = 0;
};

// 01.01.1990 00:00:00, the program's "not set".
inline constexpr TDateTime BaseDateTime = TDateTime::FromMs(int64_t{32874} * TDateTime::MsPerDay);

// "dd.mm.yyyy hh:nn:ss"
std::string FormatDateTime(TDateTime value);
// "hh:nn:ss" of the time of day
std::string FormatTime(TDateTime value);
// Accepts exactly the form FormatDateTime writes.
std::optional<TDateTime> ParseDateTime(std::string_view text);

}  // namespace odb
