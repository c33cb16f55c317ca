#include "platform/child_program.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/desktop.h"
#include "platform/end_signals.h"
#include "platform/url_opener.h"
#include "support/temp_dir.h"

namespace slvn {
namespace {

// The value of one "Name:\t<hex>" line of a /proc status text, or "" when absent.
std::string StatusField(const std::string& status, const std::string& name) {
  const size_t at = status.find("\n" + name + ":\t");
  if (at == std::string::npos) return "";
  const size_t start = at + name.size() + 3;
  return status.substr(start, status.find('\n', start) - start);
}

// The signals of a status mask that a program can use: the C library keeps
// the two it reserves for itself (32 and 33, below SIGRTMIN) ignored in
// every child it starts, and no program may handle them.
uint64_t UsableSignals(const std::string& hex) {
  uint64_t mask = std::stoull(hex, nullptr, 16);
  for (int signal = 32; signal < SIGRTMIN; ++signal) mask &= ~(uint64_t{1} << (signal - 1));
  return mask;
}

// The client as the program runs it, the end signals blocked for its loop,
// and SIGPIPE ignored as a program writing to sockets may have it. Restores
// everything it changed.
class ChildProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pthread_sigmask(SIG_SETMASK, nullptr, &old_mask_);
    BlockEndSignals();
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &old_pipe_);
    old_path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
  }
  void TearDown() override {
    setenv("PATH", old_path_.c_str(), 1);
    sigaction(SIGPIPE, &old_pipe_, nullptr);
    pthread_sigmask(SIG_SETMASK, &old_mask_, nullptr);
  }

  // An "xdg-open" that copies the file named by its argument "if=FILE" to
  // its standard output: dd, which keeps the signal state it was given.
  void PutReportingOpenerFirstInPath() {
    const std::string dd = std::filesystem::exists("/usr/bin/dd") ? "/usr/bin/dd" : "/bin/dd";
    std::filesystem::create_symlink(dd, dir.File("xdg-open"));
    setenv("PATH", (dir.path().string() + ":" + old_path_).c_str(), 1);
  }

  // Runs `open` with standard output and error going to files, and returns
  // what the child wrote to standard output once it has its status lines.
  std::string OutputOf(const std::function<void()>& open) {
    const std::string out = dir.File("out");
    fflush(stdout);
    fflush(stderr);
    const int saved_out = dup(1), saved_err = dup(2);
    const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err_fd =
        ::open(dir.File("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    open();
    dup2(saved_out, 1);
    dup2(saved_err, 2);
    for (int fd : {saved_out, saved_err, out_fd, err_fd}) close(fd);
    std::string text;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (StatusField(text, "SigIgn").empty() && std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      text = test::ReadFileBytes(out);
    }
    return text;
  }

  test::TempDir dir;

 private:
  sigset_t old_mask_{};
  struct sigaction old_pipe_ {};
  std::string old_path_;
};

// The album and the rules page open through xdg-open: whatever it starts
// must be killable as any program is, whatever the client blocks or ignores.
TEST_F(ChildProgramTest, ProgramsTheClientOpensStartWithNoSignalBlockedOrIgnored) {
  PutReportingOpenerFirstInPath();
  DesktopOpener album;
  std::unique_ptr<UrlOpener> rules = MakeDesktopUrlOpener();
  bool started = true;
  struct Case {
    const char* name;
    std::function<void()> open;
  } cases[] = {
      {"the album (DesktopOpener)", [&] { started = album.Open("if=/proc/self/status"); }},
      {"the rules page (UrlOpener)", [&] { rules->Open("if=/proc/self/status"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string status = OutputOf(c.open);
    EXPECT_TRUE(started);
    ASSERT_FALSE(StatusField(status, "SigIgn").empty()) << status;
    EXPECT_EQ(UsableSignals(StatusField(status, "SigBlk")), 0u) << status;
    EXPECT_EQ(UsableSignals(StatusField(status, "SigIgn")), 0u) << status;
  }
}

}  // namespace
}  // namespace slvn
