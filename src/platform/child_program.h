#pragma once

#include <spawn.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace slvn {

// A program the client starts and does not wait for (the desktop's opener).
// The child starts with no signal blocked and every signal at its default
// action: the client blocks its end signals to take them through its loop,
// and what it starts must still end on SIGTERM, SIGINT and SIGHUP.
class ChildProgram {
 public:
  // The program (looked up in PATH) is the first element.
  explicit ChildProgram(std::vector<std::string> argv);
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  // Starts the program: its pid, or -1 when it could not be started. It
  // allocates nothing, so a freshly forked process may call it.
  pid_t Start() const;

 private:
  std::vector<std::string> args_;
  std::vector<char*> argv_;
  posix_spawnattr_t attr_;
};

}  // namespace slvn
