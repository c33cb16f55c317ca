#pragma once

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace slvn::test {

// A free loopback port, found by binding port 0 (it may be taken again
// before use, which the tests accept).
int FreeLoopbackPort();

// microsocks on loopback, with a user and password when given; stopped with
// the object. Ready once its port takes connections.
class Microsocks {
 public:
  explicit Microsocks(const std::string& user = "", const std::string& password = "");
  ~Microsocks();
  Microsocks(const Microsocks&) = delete;
  Microsocks& operator=(const Microsocks&) = delete;
  int port() const { return port_; }

 private:
  int port_ = 0;
  int pid_ = -1;
};

// A strict SOCKS5 proxy on its own thread: on each connection it reads
// exactly a 4-byte greeting, answers "no authentication", reads exactly the
// 10-byte request that must follow and refuses it (05 01). A connection
// closed before its greeting is skipped. Records the request it read.
class StrictProxy {
 public:
  StrictProxy();
  ~StrictProxy();
  StrictProxy(const StrictProxy&) = delete;
  StrictProxy& operator=(const StrictProxy&) = delete;
  int port() const { return port_; }
  // Waits (real time, bounded) for the request; empty when none came.
  std::vector<uint8_t> Request();

 private:
  int listen_fd_ = -1;
  int port_ = 0;
  std::vector<uint8_t> request_;
  std::thread thread_;
};

}  // namespace slvn::test
