#include "platform/timer.h"

#include "platform/event_loop.h"

namespace slvn {

Timer::Timer(EventLoop& loop, std::function<void()> handler)
    : loop_(loop), handler_(std::move(handler)) {}

Timer::~Timer() {
  loop_.Disarm(this);
}

void Timer::SetInterval(int ms) {
  interval_ms_ = ms < 0 ? 0 : ms;
  Restart();
}

void Timer::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Restart();
}

void Timer::Restart() {
  if (Armed()) {
    due_ = loop_.Now() + interval_ms_ / 1000.0;
    loop_.Arm(this);
  } else {
    loop_.Disarm(this);
  }
}

}  // namespace slvn
