#include "support/video_relay.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

extern char** environ;

namespace slvn::test {

VideoRelay::VideoRelay(const TempDir& dir) : record_(dir.File("relay.txt")) {
  int out[2];
  if (pipe(out) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  // Its complaints never hold a test's output pipe open.
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string program = SLVN_VIDEO_RELAY;
  std::vector<std::string> args = {program, "--port", "0", "--record", record_};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  FILE* f = fdopen(out[0], "r");
  if (f) {
    if (std::fscanf(f, "%d", &port_) != 1) port_ = 0;
    std::fclose(f);
  } else {
    close(out[0]);
  }
}

VideoRelay::~VideoRelay() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

}  // namespace slvn::test
