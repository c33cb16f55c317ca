#include "support/x_server.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// SDL's X11 start-up opens the session bus, and libdbus keeps a buffer for
// the life of the process: not ours to free. Every test program that starts
// a display links this file.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}

namespace slvn::test {

XServer::XServer() {
  if (access("/usr/bin/Xvfb", X_OK) != 0) {
    problem_ = "Xvfb is not installed";
    return;
  }
  const int number = 300 + getpid() % 500;
  const std::string display = ":" + std::to_string(number);
  pid_ = fork();
  if (pid_ < 0) {
    problem_ = "fork failed";
    return;
  }
  if (pid_ == 0) {
    execl("/usr/bin/Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
          "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
  for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) usleep(50'000);
  if (!std::filesystem::exists(socket)) {
    problem_ = "Xvfb did not start";
    return;
  }
  setenv("DISPLAY", display.c_str(), 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
}

XServer::~XServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

}  // namespace slvn::test
