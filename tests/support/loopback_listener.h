#pragma once

#include <cstdint>

namespace slvn::test {

// A TCP socket listening on 127.0.0.1 at a free port: connections to it are
// accepted by the kernel, so a client sees them connected at once.
class LoopbackListener {
 public:
  LoopbackListener();
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;
  uint16_t port() const { return port_; }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

}  // namespace slvn::test
