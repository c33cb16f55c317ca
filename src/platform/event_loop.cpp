#include "platform/event_loop.h"

#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "platform/timer.h"

namespace slvn {

namespace {

// Blocks the thread; nothing is dispatched meanwhile.
void BlockThread(double seconds) {
  if (seconds <= 0) return;
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(seconds);
  ts.tv_nsec = static_cast<long>((seconds - static_cast<double>(ts.tv_sec)) * 1e9);
  while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {
  }
}

}  // namespace

EventLoop::WatchId EventLoop::Watch(int fd, short events, WatchHandler handler) {
  WatchId id = next_watch_++;
  watches_[id] = Watched{fd, events, std::move(handler)};
  return id;
}

void EventLoop::SetWatchEvents(WatchId id, short events) {
  auto it = watches_.find(id);
  if (it != watches_.end()) it->second.events = events;
}

void EventLoop::Unwatch(WatchId id) {
  watches_.erase(id);
}

void EventLoop::AddSource(EventSource* source) {
  if (std::find(sources_.begin(), sources_.end(), source) == sources_.end())
    sources_.push_back(source);
}

void EventLoop::RemoveSource(EventSource* source) {
  std::erase(sources_, source);
}

void EventLoop::Post(std::function<void()> task) {
  posted_.push_back(std::move(task));
}

void EventLoop::Arm(Timer* timer) {
  timer->order_ = ++arm_order_;
  if (std::find(armed_.begin(), armed_.end(), timer) == armed_.end()) armed_.push_back(timer);
}

void EventLoop::Disarm(Timer* timer) {
  std::erase(armed_, timer);
}

Timer* EventLoop::NextDueTimer() const {
  Timer* best = nullptr;
  for (Timer* t : armed_) {
    if (!best || t->due_ < best->due_ || (t->due_ == best->due_ && t->order_ < best->order_))
      best = t;
  }
  return best;
}

double EventLoop::NextDue() const {
  const Timer* t = NextDueTimer();
  return t ? t->due_ : kForever;
}

void EventLoop::FireDueTimers() {
  // One at a time, re-choosing after each: a handler may arm, disarm or
  // destroy timers, or wait and let others fire inside it.
  for (;;) {
    if (quit_) return;
    Timer* t = NextDueTimer();
    if (!t || t->due_ > Now()) return;
    // The next firing counts from now, so a handler that waited long gets one
    // late tick, not a burst of catch-up ticks.
    t->due_ = Now() + t->interval_ms_ / 1000.0;
    t->order_ = ++arm_order_;
    if (t->handler_) {
      auto handler = t->handler_;  // the timer may be destroyed by its own handler
      handler();
    }
  }
}

void EventLoop::PollDescriptors(double max_block_seconds) {
  std::vector<pollfd> fds;
  std::vector<WatchId> ids;
  std::vector<EventSource*> polled_sources;
  for (const auto& [id, w] : watches_) {
    if (w.fd < 0) continue;
    fds.push_back(pollfd{w.fd, w.events, 0});
    ids.push_back(id);
  }
  for (EventSource* s : sources_) {
    if (s->Fd() < 0) continue;
    fds.push_back(pollfd{s->Fd(), POLLIN, 0});
    polled_sources.push_back(s);
  }
  int timeout_ms = 0;
  if (max_block_seconds > 0) {
    double ms = std::ceil(max_block_seconds * 1000.0);
    timeout_ms = ms > 3'600'000 ? 3'600'000 : static_cast<int>(ms);
  }
  if (fds.empty()) {
    BlockThread(timeout_ms / 1000.0);
    return;
  }
  int n = poll(fds.data(), fds.size(), timeout_ms);
  if (n <= 0) return;
  for (size_t i = 0; i < ids.size(); ++i) {
    if (!fds[i].revents) continue;
    auto it = watches_.find(ids[i]);  // an earlier handler may have removed it
    if (it == watches_.end()) continue;
    auto handler = it->second.handler;
    handler(fds[i].revents);
  }
  for (size_t i = 0; i < polled_sources.size(); ++i) {
    if (!fds[ids.size() + i].revents) continue;
    EventSource* s = polled_sources[i];
    if (std::find(sources_.begin(), sources_.end(), s) != sources_.end()) s->Dispatch();
  }
}

void EventLoop::PumpOnce(double max_block_seconds) {
  std::deque<std::function<void()>> tasks;
  tasks.swap(posted_);
  for (auto& task : tasks) task();

  bool busy = !posted_.empty();
  for (EventSource* s : std::vector<EventSource*>(sources_)) {
    if (s->Pending()) {
      s->Dispatch();
      busy = true;
    }
  }
  if (busy || clock_.IsManual()) max_block_seconds = 0;
  PollDescriptors(max_block_seconds);
  FireDueTimers();
}

void EventLoop::RunUntil(double end) {
  for (;;) {
    double block = std::min(NextDue(), end) - Now();
    PumpOnce(block);
    if (quit_ || Now() >= end) return;
    if (clock_.IsManual()) static_cast<ManualClock&>(clock_).AdvanceTo(std::min(NextDue(), end));
  }
}

void EventLoop::RunFor(double seconds) {
  RunUntil(Now() + std::max(seconds, 0.0));
}

void EventLoop::Run() {
  quit_ = false;
  while (!quit_) RunUntil(clock_.IsManual() ? Now() + 3600 : kForever);
}

void EventLoop::WaitSeconds(double seconds) {
  // Ends once the clock has moved past now + seconds, so a wait of no time
  // still lasts until the clock moves.
  RunUntil(std::nextafter(Now() + std::max(seconds, 0.0), kForever));
}

void EventLoop::SleepSeconds(double seconds) {
  if (present_) present_();
  seconds = std::max(seconds, 0.0);
  if (clock_.IsManual())
    static_cast<ManualClock&>(clock_).Advance(seconds);
  else
    BlockThread(seconds);
}

bool EventLoop::WaitUntil(const std::function<bool()>& done, double real_timeout) {
  SteadyClock real;
  const double give_up = real.Now() + real_timeout;
  while (!done() && !quit_) {
    double left = give_up - real.Now();
    if (left <= 0) break;
    // Wake at least every 50 ms so conditions that no descriptor signals are
    // seen, and timers of a real clock keep their time.
    double block = std::min({left, 0.05, NextDue() - Now()});
    if (clock_.IsManual()) {
      // Virtual time stands still; the real descriptors are what we wait for.
      PumpOnce(0);
      if (done()) break;
      PollDescriptors(std::min(left, 0.05));
    } else {
      PumpOnce(block);
    }
  }
  return done();
}

}  // namespace slvn
