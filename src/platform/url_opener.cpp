#include "platform/url_opener.h"

#include <sys/wait.h>
#include <unistd.h>

#include "platform/child_program.h"

namespace slvn {

namespace {

class DesktopUrlOpener : public UrlOpener {
 public:
  void Open(const std::string& address) override {
    // A short-lived middle process starts xdg-open and leaves at once, so
    // the browser is never our child and leaves no zombie behind.
    const ChildProgram opener({"xdg-open", address});
    pid_t middle = fork();
    if (middle < 0) return;
    if (middle == 0) _exit(opener.Start() > 0 ? 0 : 1);
    int status = 0;
    waitpid(middle, &status, 0);
  }
};

}  // namespace

std::unique_ptr<UrlOpener> MakeDesktopUrlOpener() {
  return std::make_unique<DesktopUrlOpener>();
}

}  // namespace slvn
