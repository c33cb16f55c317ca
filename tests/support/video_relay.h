#pragma once

#include <sys/types.h>
#include <string>

#include "support/temp_dir.h"

namespace slvn::test {

// Runs slvn-video-relay on a free port, recording into the folder; it is
// killed when the object goes.
class VideoRelay {
 public:
  explicit VideoRelay(const TempDir& dir);
  ~VideoRelay();
  VideoRelay(const VideoRelay&) = delete;
  VideoRelay& operator=(const VideoRelay&) = delete;

  int port() const { return port_; }
  std::string Record() const { return ReadFileBytes(record_); }

 private:
  std::string record_;
  pid_t pid_ = 0;
  int port_ = 0;
};

}  // namespace slvn::test
