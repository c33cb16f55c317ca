#include "support/socks_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

extern char** environ;

namespace slvn::test {

namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return addr;
}

bool Accepts(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr = Loopback(port);
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return ok;
}

}  // namespace

int FreeLoopbackPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr = Loopback(0);
  socklen_t len = sizeof addr;
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

Microsocks::Microsocks(const std::string& user, const std::string& password)
    : port_(FreeLoopbackPort()) {
  std::vector<std::string> args{"microsocks", "-i", "127.0.0.1", "-p", std::to_string(port_)};
  if (!user.empty()) args.insert(args.end(), {"-u", user, "-P", password});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, "microsocks", nullptr, nullptr, argv.data(), environ) != 0) return;
  pid_ = pid;
  for (int i = 0; i < 200 && !Accepts(port_); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

Microsocks::~Microsocks() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

namespace {

// Reads exactly n bytes; fewer when the peer closes or 5 s pass.
std::vector<uint8_t> ReadExactly(int fd, size_t n) {
  std::vector<uint8_t> out(n);
  size_t got = 0;
  while (got < n) {
    ssize_t r = recv(fd, out.data() + got, n - got, 0);
    if (r <= 0) break;
    got += static_cast<size_t>(r);
  }
  out.resize(got);
  return out;
}

}  // namespace

StrictProxy::StrictProxy() {
  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr = Loopback(0);
  socklen_t len = sizeof addr;
  bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  listen(listen_fd_, 8);
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] {
    timeval timeout{5, 0};
    setsockopt(listen_fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    for (int i = 0; i < 4; ++i) {
      int fd = accept(listen_fd_, nullptr, nullptr);
      if (fd < 0) return;
      setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
      if (ReadExactly(fd, 4).size() == 4) {
        const uint8_t choose_none[2] = {5, 0};
        send(fd, choose_none, 2, MSG_NOSIGNAL);
        request_ = ReadExactly(fd, 10);
        const uint8_t refuse[10] = {5, 1, 0, 1};
        send(fd, refuse, 10, MSG_NOSIGNAL);
        close(fd);
        return;
      }
      close(fd);
    }
  });
}

StrictProxy::~StrictProxy() {
  shutdown(listen_fd_, SHUT_RDWR);
  if (thread_.joinable()) thread_.join();
  close(listen_fd_);
}

std::vector<uint8_t> StrictProxy::Request() {
  if (thread_.joinable()) thread_.join();
  return request_;
}

}  // namespace slvn::test
