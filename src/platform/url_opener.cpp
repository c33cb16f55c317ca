#include "platform/url_opener.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace slvn {

namespace {

class DesktopUrlOpener : public UrlOpener {
 public:
  void Open(const std::string& address) override {
    // A short-lived middle process starts xdg-open and leaves at once, so
    // the browser is never our child and leaves no zombie behind.
    pid_t middle = fork();
    if (middle < 0) return;
    if (middle == 0) {
      std::string arg = address;
      char* argv[] = {const_cast<char*>("xdg-open"), arg.data(), nullptr};
      pid_t opener = 0;
      int rc = posix_spawnp(&opener, "xdg-open", nullptr, nullptr, argv, environ);
      _exit(rc == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(middle, &status, 0);
  }
};

}  // namespace

std::unique_ptr<UrlOpener> MakeDesktopUrlOpener() {
  return std::make_unique<DesktopUrlOpener>();
}

}  // namespace slvn
