#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <vector>

#include "platform/clock.h"

namespace slvn {

class Timer;

// Something besides sockets and timers that the loop must pump: the window
// system, whose events may already sit in a queue that poll(2) cannot see.
class EventSource {
 public:
  virtual ~EventSource() = default;
  virtual int Fd() const = 0;  // -1 when there is nothing to poll
  virtual bool Pending() = 0;
  virtual void Dispatch() = 0;
};

// The one thread's loop: waits with poll(2) on watched descriptors, event
// sources and the next timer, never busy-polling. With a manual clock it never
// blocks: it jumps virtual time to the next due timer instead.
class EventLoop {
 public:
  using WatchId = int;
  using WatchHandler = std::function<void(short revents)>;
  static constexpr double kForever = std::numeric_limits<double>::infinity();

  explicit EventLoop(Clock& clock) : clock_(clock) {}
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  Clock& clock() { return clock_; }
  double Now() const { return clock_.Now(); }

  WatchId Watch(int fd, short events, WatchHandler handler);
  void SetWatchEvents(WatchId id, short events);
  void Unwatch(WatchId id);

  void AddSource(EventSource* source);
  void RemoveSource(EventSource* source);

  // Runs a task on a later pass of the loop (a message posted to ourselves).
  void Post(std::function<void()> task);

  // Called by SleepSeconds before it blocks, so the screen is current.
  void SetPresentHook(std::function<void()> hook) { present_ = std::move(hook); }

  // Pumps until the clock has passed Now() + seconds. Under a manual clock
  // due timers fire in time order and sockets are polled without waiting.
  void RunFor(double seconds);
  // Pumps until Quit().
  void Run();
  void Quit() { quit_ = true; }
  bool Quitting() const { return quit_; }

  // Dispatches events until the clock has moved past now + seconds; other
  // handlers, the caller's own included, may run meanwhile.
  void WaitSeconds(double seconds);
  // Presents the screen and blocks without dispatching anything.
  void SleepSeconds(double seconds);
  // Pumps until done() holds, blocking on the real descriptors for at most
  // real_timeout seconds in all (virtual time does not move for it). Returns
  // done() at the end.
  bool WaitUntil(const std::function<bool()>& done, double real_timeout = kForever);

 private:
  friend class Timer;
  struct Watched {
    int fd;
    short events;
    WatchHandler handler;
  };

  void Arm(Timer* timer);
  void Disarm(Timer* timer);
  Timer* NextDueTimer() const;
  double NextDue() const;
  void RunUntil(double end);
  // One pass: posted tasks, sources, descriptors (waiting at most
  // max_block_seconds of real time), then every timer due by now.
  void PumpOnce(double max_block_seconds);
  void PollDescriptors(double max_block_seconds);
  void FireDueTimers();

  Clock& clock_;
  std::map<WatchId, Watched> watches_;
  WatchId next_watch_ = 1;
  std::vector<EventSource*> sources_;
  std::vector<Timer*> armed_;
  uint64_t arm_order_ = 0;
  std::deque<std::function<void()>> posted_;
  std::function<void()> present_;
  bool quit_ = false;
};

}  // namespace slvn
