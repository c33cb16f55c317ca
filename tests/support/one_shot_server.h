#pragma once

#include <string>
#include <thread>

namespace slvn::test {

// Binds a loopback listening socket on a free port; -1 when it cannot.
int Listen(int& port);

// Answers one HTTP request on loopback with a fixed reply, on its own thread.
class OneShotServer {
 public:
  explicit OneShotServer(std::string reply, int delay_ms = 0);
  ~OneShotServer();
  OneShotServer(const OneShotServer&) = delete;
  OneShotServer& operator=(const OneShotServer&) = delete;

  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/ad"; }

 private:
  int port_ = 0;
  int fd_;
  std::thread thread_;
};

// An address on loopback where nothing listens: connecting is refused.
std::string RefusedAddress();

}  // namespace slvn::test
