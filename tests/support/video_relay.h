#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace slvn::test {

// Runs slvn-video-relay on a free loopback port, recording into the folder
// (its standard error goes to a file there too); it is killed when the
// object goes.
class VideoRelay {
 public:
  struct Options {
    std::vector<std::string> args;  // more command-line arguments
    int max_files = 0;              // its descriptor limit when above 0
  };
  explicit VideoRelay(const TempDir& dir) : VideoRelay(dir, Options()) {}
  VideoRelay(const TempDir& dir, const Options& options);
  ~VideoRelay();
  VideoRelay(const VideoRelay&) = delete;
  VideoRelay& operator=(const VideoRelay&) = delete;

  int port() const { return port_; }
  pid_t pid() const { return pid_; }
  std::string Record() const { return ReadFileBytes(record_); }
  std::string Errors() const { return ReadFileBytes(errors_); }

 private:
  std::string record_;
  std::string errors_;
  pid_t pid_ = 0;
  int port_ = 0;
};

// A running process's CPU seconds (user and system) and resident sizes in
// bytes (now, and the peak), from /proc; -1 when it cannot be read.
double ProcessCpuSeconds(pid_t pid);
long ProcessResidentBytes(pid_t pid, bool peak);

}  // namespace slvn::test
