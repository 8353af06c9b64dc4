#include "common/DateTime.h"

#include <cstdio>

namespace odb {
namespace {

// Day 0 of the program's count is 30.12.1899; civil-day arithmetic below counts
// from 01.01.1970, 25569 days later.
constexpr int64_t kEpochShift = 25569;

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

TDateTime TDateTime::Encode(int year, int month, int day, int hour, int minute, int second,
                            int ms) {
  const int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                       kEpochShift;
  return TDateTime(days * MsPerDay + (int64_t{hour} * 3600 + minute * 60 + second) * 1000 + ms);
}

TDateTime TDateTime::FromDays(double days) {
  const double ms = days * MsPerDay;
  return TDateTime(static_cast<int64_t>(ms < 0 ? ms - 0.5 : ms + 0.5));
}

TDateTime TDateTime::DateOnly() const {
  // Floored like Decode and IsoWeekday: truncated toward zero, a time before
  // 30.12.1899 would land on the day after its own.
  return TDateTime(FloorDiv(ms_, MsPerDay) * MsPerDay);
}

int TDateTime::IsoWeekday() const {
  // 30.12.1899 was a Saturday (ISO 6).
  const int64_t day = FloorDiv(ms_, MsPerDay);
  return static_cast<int>(((day + 5) % 7 + 7) % 7) + 1;
}

TDateTime::Parts TDateTime::Decode() const {
  Parts p{};
  const int64_t day = FloorDiv(ms_, MsPerDay);
  int64_t rest = ms_ - day * MsPerDay;
  CivilFromDays(day - kEpochShift, p.year, p.month, p.day);
  p.hour = static_cast<int>(rest / 3'600'000);
  rest %= 3'600'000;
  p.minute = static_cast<int>(rest / 60'000);
  rest %= 60'000;
  p.second = static_cast<int>(rest / 1000);
  p.ms = static_cast<int>(rest % 1000);
  return p;
}

std::string FormatDateTime(TDateTime value) {
  const auto p = value.Decode();
  char buf[40];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d", p.day, p.month, p.year, p.hour,
                p.minute, p.second);
  return buf;
}

std::string FormatTime(TDateTime value) {
  const auto p = value.Decode();
  char buf[24];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", p.hour, p.minute, p.second);
  return buf;
}

std::optional<TDateTime> ParseDateTime(std::string_view text) {
  if (text.size() != 19) return std::nullopt;
  static constexpr std::string_view kShape = "dd.dd.dddd dd:dd:dd";
  int fields[6] = {};
  int index = 0;
  for (size_t i = 0; i < kShape.size(); ++i) {
    const char c = text[i];
    if (kShape[i] != 'd') {
      if (c != kShape[i]) return std::nullopt;
      ++index;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    fields[index] = fields[index] * 10 + (c - '0');
  }
  const int day = fields[0], month = fields[1], year = fields[2];
  static constexpr int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > kMonthDays[month - 1] ||
      (month == 2 && day == 29 && !leap) || fields[3] > 23 || fields[4] > 59 || fields[5] > 59) {
    return std::nullopt;
  }
  return TDateTime::Encode(year, month, day, fields[3], fields[4], fields[5]);
}

}  // namespace odb
