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
  // True only when a program is not installed: a test may skip then, but a
  // display that fails to start is a failure, not a skip.
  bool Missing() const { return missing_; }
  const char* Problem() const { return problem_; }

 private:
  void StartWindowManager();

  pid_t pid_ = -1;
  pid_t wm_pid_ = -1;
  bool missing_ = false;
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
// The window that owns the clipboard (CLIPBOARD), 0 when none does.
uint64_t ClipboardOwner();

// Another program's copy: xclip owning the clipboard with `text`, in the
// foreground as a child of this process, until the object goes. Freeze()
// stops it (an owner that never answers), Thaw() wakes it.
class ClipboardOwnerProgram {
 public:
  explicit ClipboardOwnerProgram(const std::string& text);
  ~ClipboardOwnerProgram();
  ClipboardOwnerProgram(const ClipboardOwnerProgram&) = delete;
  ClipboardOwnerProgram& operator=(const ClipboardOwnerProgram&) = delete;
  // False when xclip is not installed or took no ownership.
  bool Running() const { return owner_ != 0; }
  uint64_t Owner() const { return owner_; }
  void Freeze();
  void Thaw();

 private:
  pid_t pid_ = -1;
  uint64_t owner_ = 0;
};

// An input method on the display: a session bus of its own and ibus-daemon
// under this process (it quits when its parent does), with `engine`
// switched on. Started before the program's windows open, since SDL looks
// for the input method when its video starts; stopped when the object goes.
class InputMethodSession {
 public:
  explicit InputMethodSession(const std::string& engine);
  ~InputMethodSession();
  InputMethodSession(const InputMethodSession&) = delete;
  InputMethodSession& operator=(const InputMethodSession&) = delete;
  bool Running() const { return problem_ == nullptr; }
  const char* Problem() const { return problem_; }
  // Stops (or wakes) the daemon's programs whose name starts with `name`
  // (an engine: "ibus-engine-lib"), as a machine too busy to run them does.
  void Pause(const std::string& name);
  void Resume(const std::string& name);
  // Switches another engine on (its IBus name: "xkb:us::eng").
  bool SwitchEngine(const std::string& engine);

 private:
  void Signal(const std::string& name, int signal);

  pid_t bus_pid_ = -1;
  pid_t daemon_pid_ = -1;
  std::string config_dir_;
  const char* problem_ = nullptr;
};

}  // namespace slvn::test
