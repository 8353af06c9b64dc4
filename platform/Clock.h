#pragma once
// The clock is injected: the programs use the local wall clock, tests step a
// virtual one.
#include "common/DateTime.h"

namespace odb {

class IClock {
 public:
  virtual ~IClock() = default;
  virtual TDateTime Now() const = 0;
};

class TSystemClock final : public IClock {
 public:
  TDateTime Now() const override;  // local time, to the millisecond
};

class TVirtualClock final : public IClock {
 public:
  explicit TVirtualClock(TDateTime start) : now_(start) {}
  TDateTime Now() const override { return now_; }
  void Set(TDateTime now) { now_ = now; }
  void Advance(int64_t ms) { now_ = now_.AddMs(ms); }

 private:
  TDateTime now_;
};

}  // namespace odb
