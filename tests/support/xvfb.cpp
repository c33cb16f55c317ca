#include "support/xvfb.h"

#include <SDL.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/forms.h"

// SDL's X11 start-up opens the session bus, and libdbus keeps a buffer for
// the life of the process: not ours to free.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}

namespace slvn::test {

Xvfb::Xvfb() {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
    failure_ = "SDL's video already runs in this process (run the test on its own)";
    return;
  }
  if (access("/usr/bin/Xvfb", X_OK) != 0) {
    failure_ = "Xvfb is not installed";
    return;
  }
  const int number = 300 + getpid() % 500;
  const std::string display = ":" + std::to_string(number);
  pid_ = fork();
  if (pid_ < 0) {
    failure_ = "fork failed";
    return;
  }
  if (pid_ == 0) {
    execl("/usr/bin/Xvfb", "Xvfb", display.c_str(), "-screen", "0", "800x600x24", "-nolisten",
          "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
  for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) usleep(50'000);
  if (!std::filesystem::exists(socket)) {
    failure_ = "Xvfb did not start";
    return;
  }
  setenv("DISPLAY", display.c_str(), 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
}

Xvfb::~Xvfb() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

bool PushClick(const Form& form, int x, int y) {
  // Window ids count up from 1 as windows are made.
  for (Uint32 id = 1; id < 256; ++id) {
    SDL_Window* window = SDL_GetWindowFromID(id);
    if (!window || form.Caption() != SDL_GetWindowTitle(window)) continue;
    SDL_Event event{};
    event.button.windowID = id;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.state = SDL_PRESSED;
    SDL_PushEvent(&event);
    event.type = SDL_MOUSEBUTTONUP;
    event.button.state = SDL_RELEASED;
    SDL_PushEvent(&event);
    return true;
  }
  return false;
}

}  // namespace slvn::test
