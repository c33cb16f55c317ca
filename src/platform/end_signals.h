#pragma once

#include <functional>

#include "platform/event_loop.h"

namespace slvn {

// SIGTERM, SIGINT and SIGHUP (a desktop logout, kill, Ctrl+C, a closed
// terminal) reach the program as an event of its loop, so that it ends the
// way it always ends, never from inside a signal handler.

// Blocks the three signals in this thread and in every thread started after
// it; the program calls it first, before anything starts a thread.
void BlockEndSignals();

// While it lives, each of the three signals calls `handler` from the loop.
class EndSignals {
 public:
  EndSignals(EventLoop& loop, std::function<void(int signal)> handler);
  ~EndSignals();
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

 private:
  void OnReadable();

  EventLoop& loop_;
  std::function<void(int)> handler_;
  int fd_ = -1;
  EventLoop::WatchId watch_ = 0;
};

}  // namespace slvn
