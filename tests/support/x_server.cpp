#include "support/x_server.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <X11/Xlib.h>

// SDL's X11 start-up opens the session bus, and libdbus keeps a buffer for
// the life of the process: not ours to free. Every test program that starts
// a display links this file.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}

namespace slvn::test {

namespace {

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

// Starts a program with its output thrown away (its complaints are not the
// test's); -1 when the fork failed.
template <typename... Args>
pid_t StartQuietly(const char* path, Args... args) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (FILE* null = freopen("/dev/null", "w", stderr)) (void)null;
    if (FILE* null = freopen("/dev/null", "w", stdout)) (void)null;
    execl(path, args..., static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// Whether a window manager has announced itself on the display's root.
bool WindowManagerReady() {
  FILE* out = popen("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null", "r");
  if (!out) return false;
  char buf[256] = {};
  const bool ready =
      fgets(buf, sizeof buf, out) && std::string(buf).find("window id") != std::string::npos;
  pclose(out);
  return ready;
}

// Reads the display number Xvfb writes once it is ready; -1 when it wrote
// none within the bound (a loaded machine can take seconds).
int ReadDisplayNumber(int fd) {
  std::string text;
  pollfd p{fd, POLLIN, 0};
  while (text.find('\n') == std::string::npos && poll(&p, 1, 20'000) > 0) {
    char buf[32];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  if (text.find('\n') == std::string::npos) return -1;
  return std::atoi(text.c_str());
}

}  // namespace

XServer::XServer(const Options& options) {
  if (access("/usr/bin/Xvfb", X_OK) != 0) {
    missing_ = true;
    problem_ = "Xvfb is not installed";
    return;
  }
  if (options.window_manager && access("/usr/bin/openbox", X_OK) != 0) {
    missing_ = true;
    problem_ = "openbox is not installed";
    return;
  }
  const std::string screen =
      std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
  // Xvfb picks a free display itself, so tests run side by side never meet.
  int ready[2];
  if (pipe(ready) != 0) {
    problem_ = "pipe failed";
    return;
  }
  pid_ = fork();
  if (pid_ < 0) {
    close(ready[0]);
    close(ready[1]);
    problem_ = "fork failed";
    return;
  }
  if (pid_ == 0) {
    close(ready[0]);
    const std::string fd = std::to_string(ready[1]);
    if (FILE* null = freopen("/dev/null", "w", stderr)) (void)null;
    execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
          "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  const int number = ReadDisplayNumber(ready[0]);
  close(ready[0]);
  if (number < 0) {
    problem_ = "Xvfb did not start";
    return;
  }
  setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  if (options.window_manager) StartWindowManager();
}

void XServer::StartWindowManager() {
  // Menus it does not find make it complain.
  wm_pid_ = StartQuietly("/usr/bin/openbox", "openbox", "--sm-disable");
  if (wm_pid_ < 0) {
    problem_ = "fork failed";
    return;
  }
  // Ready once it has taken the screen: windows made before would be left
  // unmanaged until it adopts them.
  for (int i = 0; i < 400 && !WindowManagerReady(); ++i) usleep(50'000);
  if (!WindowManagerReady()) problem_ = "openbox did not start";
}

XServer::~XServer() {
  Stop(wm_pid_);
  Stop(pid_);
}

std::string CommandOutput(const std::string& command) {
  std::string text;
  FILE* out = popen(command.c_str(), "r");
  if (!out) return text;
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, out)) text.append(buf, n);
  pclose(out);
  return text;
}

std::vector<uint64_t> StackingOrder() {
  const std::string text = CommandOutput("xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null");
  std::vector<uint64_t> ids;
  for (size_t at = text.find("0x"); at != std::string::npos; at = text.find("0x", at + 2))
    ids.push_back(std::strtoull(text.c_str() + at, nullptr, 16));
  return ids;
}

bool Viewable(uint64_t window) {
  return CommandOutput("xwininfo -id " + std::to_string(window) + " 2>/dev/null")
             .find("IsViewable") != std::string::npos;
}

bool OverrideRedirect(uint64_t window) {
  return CommandOutput("xwininfo -all -id " + std::to_string(window) + " 2>/dev/null")
             .find("Override Redirect State: yes") != std::string::npos;
}

uint32_t ScreenPixel(int x, int y) {
  const std::string text =
      CommandOutput("import -window root -depth 8 -crop 1x1+" + std::to_string(x) + "+" +
                    std::to_string(y) + " txt:- 2>/dev/null");
  const size_t hash = text.find('#', text.find('\n'));
  if (hash == std::string::npos) return 0xFFFFFFFF;
  return static_cast<uint32_t>(std::strtoul(text.substr(hash + 1, 6).c_str(), nullptr, 16));
}

uint64_t ClipboardOwner() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0;
  const Window owner = XGetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False));
  XCloseDisplay(display);
  return owner;
}

ClipboardOwnerProgram::ClipboardOwnerProgram(const std::string& text) {
  if (access("/usr/bin/xclip", X_OK) != 0) return;
  int in[2];
  if (pipe(in) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], 0);
    close(in[0]);
    close(in[1]);
    if (FILE* null = freopen("/dev/null", "w", stderr)) (void)null;
    execl("/usr/bin/xclip", "xclip", "-quiet", "-selection", "clipboard", "-i",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  const bool written = write(in[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(in[1]);
  if (!written) return;
  if (pid_ < 0) return;
  for (int i = 0; i < 100 && !owner_; ++i) {
    usleep(50'000);
    owner_ = ClipboardOwner();
  }
}

ClipboardOwnerProgram::~ClipboardOwnerProgram() {
  if (pid_ <= 0) return;
  kill(pid_, SIGCONT);
  Stop(pid_);
}

void ClipboardOwnerProgram::Freeze() {
  if (pid_ > 0) kill(pid_, SIGSTOP);
}

void ClipboardOwnerProgram::Thaw() {
  if (pid_ > 0) kill(pid_, SIGCONT);
}

InputMethodSession::InputMethodSession(const std::string& engine) {
  if (access("/usr/bin/ibus-daemon", X_OK) != 0 || access("/usr/bin/dbus-daemon", X_OK) != 0) {
    problem_ = "ibus-daemon or dbus-daemon is not installed";
    return;
  }
  // The daemon writes its address where SDL looks for it: in a folder of
  // the test's own, not the user's.
  char dir[] = "/tmp/slvn-ibus-XXXXXX";
  if (!mkdtemp(dir)) {
    problem_ = "no temporary folder";
    return;
  }
  config_dir_ = dir;
  setenv("XDG_CONFIG_HOME", dir, 1);
  setenv("XDG_CACHE_HOME", dir, 1);
  const std::string bus = CommandOutput(
      "dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1 2>/dev/null");
  const size_t line = bus.find('\n');
  if (line == std::string::npos) {
    problem_ = "no session bus";
    return;
  }
  bus_pid_ = static_cast<pid_t>(std::strtol(bus.c_str() + line + 1, nullptr, 10));
  setenv("DBUS_SESSION_BUS_ADDRESS", bus.substr(0, line).c_str(), 1);
  setenv("XMODIFIERS", "@im=ibus", 1);
  setenv("SDL_IM_MODULE", "ibus", 1);
  daemon_pid_ = StartQuietly("/usr/bin/ibus-daemon", "ibus-daemon", "--panel=disable",
                             "--emoji-extension=disable", "--xim");
  if (daemon_pid_ < 0) {
    problem_ = "fork failed";
    return;
  }
  // Up once it answers on its bus and the engine is on.
  if (!SwitchEngine(engine))
    problem_ = "ibus-daemon did not start, or its engine did not switch on";
}

bool InputMethodSession::SwitchEngine(const std::string& engine) {
  const std::string want = engine + "\n";
  for (int i = 0; i < 200; ++i) {
    if (CommandOutput("ibus engine " + engine + " >/dev/null 2>&1; ibus engine 2>/dev/null") ==
        want)
      return true;
    usleep(50'000);
  }
  return false;
}

void InputMethodSession::Pause(const std::string& name) {
  Signal(name, SIGSTOP);
}

void InputMethodSession::Resume(const std::string& name) {
  Signal(name, SIGCONT);
}

void InputMethodSession::Signal(const std::string& name, int signal) {
  // Only the daemon's own children: the engines it started.
  if (daemon_pid_ <= 0) return;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string pid = entry.path().filename();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in("/proc/" + pid + "/stat");
    std::string stat;
    std::getline(in, stat);
    const size_t close = stat.rfind(')');
    const size_t open = stat.find('(');
    if (close == std::string::npos || open == std::string::npos) continue;
    const std::string comm = stat.substr(open + 1, close - open - 1);
    // After the name: the state, then the parent's id.
    const pid_t parent = static_cast<pid_t>(std::strtol(stat.c_str() + close + 4, nullptr, 10));
    if (parent == daemon_pid_ && comm.rfind(name, 0) == 0)
      kill(static_cast<pid_t>(std::stol(pid)), signal);
  }
}

InputMethodSession::~InputMethodSession() {
  Stop(daemon_pid_);
  if (bus_pid_ > 0) kill(bus_pid_, SIGTERM);
  if (!config_dir_.empty()) std::filesystem::remove_all(config_dir_);
}

}  // namespace slvn::test
