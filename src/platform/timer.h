#pragma once

#include <cstdint>
#include <functional>

namespace slvn {

class EventLoop;

// A window timer: fires its handler every Interval milliseconds while
// Enabled. Every timer starts disabled; switching it on (or changing the
// interval while on) starts the interval afresh. An interval of 0 never fires.
class Timer {
 public:
  explicit Timer(EventLoop& loop, std::function<void()> handler = {});
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  int Interval() const { return interval_ms_; }
  void SetInterval(int ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }

 private:
  friend class EventLoop;
  bool Armed() const { return enabled_ && interval_ms_ > 0; }
  void Restart();

  EventLoop& loop_;
  std::function<void()> handler_;
  int interval_ms_ = 0;
  bool enabled_ = false;
  double due_ = 0;      // clock time of the next firing while armed
  uint64_t order_ = 0;  // ties between equal due times go in arming order
};

}  // namespace slvn
