#include "support/one_shot_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace slvn::test {

int Listen(int& port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 4) != 0) {
    close(fd);
    return -1;
  }
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

OneShotServer::OneShotServer(std::string reply, int delay_ms) : fd_(Listen(port_)) {
  thread_ = std::thread([this, reply = std::move(reply), delay_ms] {
    int conn = accept(fd_, nullptr, nullptr);
    if (conn < 0) return;
    char buf[2048];
    (void)read(conn, buf, sizeof buf);
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    (void)write(conn, reply.data(), reply.size());
    close(conn);
  });
}

OneShotServer::~OneShotServer() {
  shutdown(fd_, SHUT_RDWR);
  thread_.join();
  close(fd_);
}

std::string RefusedAddress() {
  int port = 0;
  close(Listen(port));  // nothing listens there any more
  return "http://127.0.0.1:" + std::to_string(port) + "/";
}

}  // namespace slvn::test
