#include "platform/child_program.h"

#include <signal.h>

extern char** environ;

namespace slvn {

ChildProgram::ChildProgram(std::vector<std::string> argv) : args_(std::move(argv)) {
  for (std::string& arg : args_) argv_.push_back(arg.data());
  argv_.push_back(nullptr);
  posix_spawnattr_init(&attr_);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr_, &none);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigdefault(&attr_, &all);
  posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
}

ChildProgram::~ChildProgram() {
  posix_spawnattr_destroy(&attr_);
}

pid_t ChildProgram::Start() const {
  if (args_.empty()) return -1;
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv_[0], nullptr, &attr_, argv_.data(), environ) != 0) return -1;
  return pid;
}

}  // namespace slvn
