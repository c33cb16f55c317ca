#include "support/video_relay.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace slvn::test {

VideoRelay::VideoRelay(const TempDir& dir, const Options& options)
    : record_(dir.File("relay.txt")), errors_(dir.File("relay-errors.txt")) {
  int out[2];
  if (pipe(out) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  // Its complaints never hold a test's output pipe open.
  posix_spawn_file_actions_addopen(&actions, 2, errors_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::string program = SLVN_VIDEO_RELAY;
  std::vector<std::string> args = {program, "--listen", "127.0.0.1:0", "--record", record_};
  args.insert(args.end(), options.args.begin(), options.args.end());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // Under the address sanitizer freed memory is held back for a while; its
  // resident size then tells what the relay keeps only with that hold small.
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("ASAN_OPTIONS=", 0) != 0) env.push_back(*e);
  const char* asan = std::getenv("ASAN_OPTIONS");
  env.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":quarantine_size_mb=1");
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
    pid_ = 0;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  FILE* f = fdopen(out[0], "r");
  if (f) {
    if (std::fscanf(f, "%d", &port_) != 1) port_ = 0;
    std::fclose(f);
  } else {
    close(out[0]);
  }
  // Once it listens, so that the limit holds its connections only.
  if (pid_ > 0 && options.max_files > 0) {
    const rlimit limit{static_cast<rlim_t>(options.max_files),
                       static_cast<rlim_t>(options.max_files)};
    if (prlimit(pid_, RLIMIT_NOFILE, &limit, nullptr) != 0) port_ = 0;
  }
}

VideoRelay::~VideoRelay() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

double ProcessCpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The fields after the command's closing parenthesis; utime and stime are
  // the 14th and 15th of the whole line.
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i >= 14) ticks += std::stod(field);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long ProcessResidentBytes(pid_t pid, bool peak) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  const std::string key = peak ? "VmHWM:" : "VmRSS:";
  for (std::string line; std::getline(in, line);)
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size())) * 1024;
  return -1;
}

}  // namespace slvn::test
