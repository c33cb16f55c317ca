#pragma once

namespace slvn {

// Seconds on a clock that never goes back. The game measures every wait and
// countdown on it, so a wait that spans midnight still ends.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Now() const = 0;
  // A manual clock only moves when the event loop or a test moves it.
  virtual bool IsManual() const { return false; }
};

class SteadyClock final : public Clock {
 public:
  double Now() const override;
};

// Virtual time for tests: a 67-second schedule runs in milliseconds.
class ManualClock final : public Clock {
 public:
  double Now() const override { return now_; }
  bool IsManual() const override { return true; }
  void AdvanceTo(double t) {
    if (t > now_) now_ = t;
  }
  void Advance(double seconds) { AdvanceTo(now_ + seconds); }

 private:
  double now_ = 0;
};

}  // namespace slvn
