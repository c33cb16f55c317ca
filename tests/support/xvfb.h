#pragma once

#include <sys/types.h>

#include <string>

namespace slvn {
class Form;
}

namespace slvn::test {

// A private X server (Xvfb) for a test that needs real windows, with no
// window manager. Each test runs in a process of its own, so the display set
// here is the only one the process sees; the server ends with the object.
class Xvfb {
 public:
  Xvfb();
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;
  // Empty when the server runs, else why it does not.
  const std::string& Failure() const { return failure_; }

 private:
  pid_t pid_ = -1;
  std::string failure_;
};

// A press and release of the left button at pixel (x, y) of the form's
// window, put in SDL's queue as a person's click arrives; false when the
// form has no window.
bool PushClick(const Form& form, int x, int y);

}  // namespace slvn::test
