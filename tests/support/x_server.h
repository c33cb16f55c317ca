#pragma once

#include <sys/types.h>

namespace slvn::test {

// A private Xvfb with no window manager, made this process's display
// (DISPLAY and SDL's X11 driver); stopped when the object goes. Each test
// runs in a process of its own, so it is the only display the test sees.
class XServer {
 public:
  XServer();
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  // False when Xvfb is not installed or did not start; the reason is in
  // Problem().
  bool Running() const { return problem_ == nullptr; }
  const char* Problem() const { return problem_; }

 private:
  pid_t pid_ = -1;
  const char* problem_ = nullptr;
};

}  // namespace slvn::test
