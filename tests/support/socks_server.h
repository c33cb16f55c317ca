#pragma once

#include <string>

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

}  // namespace slvn::test
