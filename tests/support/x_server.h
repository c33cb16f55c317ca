#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace slvn::test {

// A private Xvfb, made this process's display (DISPLAY and SDL's X11
// driver); stopped when the object goes. Each test runs in a process of its
// own, so it is the only display the test sees. Without a window manager by
// default; with one it runs openbox, as many desktops do.
class XServer {
 public:
  struct Options {
    int width = 1280;
    int height = 1024;
    bool window_manager = false;
  };
  XServer() : XServer(Options{}) {}
  explicit XServer(const Options& options);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  // False when Xvfb (or the window manager asked for) is not installed or
  // did not start; the reason is in Problem().
  bool Running() const { return problem_ == nullptr; }
  const char* Problem() const { return problem_; }

 private:
  void StartWindowManager();

  pid_t pid_ = -1;
  pid_t wm_pid_ = -1;
  const char* problem_ = nullptr;
};

// What a command prints on its standard output ("" when it cannot run).
std::string CommandOutput(const std::string& command);
// The managed windows, bottom first, as the window manager stacks them
// (_NET_CLIENT_LIST_STACKING); empty without a window manager.
std::vector<uint64_t> StackingOrder();
// Whether the X window is mapped and viewable.
bool Viewable(uint64_t window);
// Whether the window manager leaves the window alone (override-redirect).
bool OverrideRedirect(uint64_t window);
// The screen's colour at (x, y) as 0xRRGGBB, read from the X server.
uint32_t ScreenPixel(int x, int y);

}  // namespace slvn::test
