// slvn-video-relay [--listen ADDR[:PORT]] [--port N] [--max-connections N]
//                  [--idle SECONDS] [--record FILE]
//
// Stands in for the video server: clients log in by name and bind their
// three user slots to peers; two clients bound to each other are linked
// (slot state 15) and their frames, formats and parameters are passed on,
// under the receiver's slot. Listens on 127.0.0.1 port 8888 unless told
// otherwise (port 0 picks a free one), prints the port first and runs until
// killed.
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "video/relay_hub.h"

namespace {

constexpr size_t kReadPerRound = 256 * 1024;  // per connection, so no one holds the others up
constexpr int kAcceptsPerRound = 16;
constexpr double kAcceptPauseSeconds = 0.5;  // out of descriptors: the listener rests

struct Options {
  std::string host = "127.0.0.1";
  std::string port = "8888";
  size_t max_connections = 128;
  double idle_seconds = slvn::kRelayIdleSeconds;
  const char* record_path = nullptr;
};

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool ParseCount(const char* text, double low, double high, double& out) {
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text, &end);
  if (errno != 0 || end == text || *end != '\0' || !(v >= low && v <= high)) return false;
  out = v;
  return true;
}

// ADDR, ADDR:PORT, [ADDR6] or [ADDR6]:PORT; a bare IPv6 address has colons of its own.
bool ParseListen(const std::string& text, Options& o) {
  std::string host = text, port = o.port;
  if (!text.empty() && text[0] == '[') {
    const size_t close = text.find(']');
    if (close == std::string::npos) return false;
    host = text.substr(1, close - 1);
    if (close + 1 < text.size()) {
      if (text[close + 1] != ':') return false;
      port = text.substr(close + 2);
    }
  } else if (const size_t colon = text.find(':');
             colon != std::string::npos && text.find(':', colon + 1) == std::string::npos) {
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
  }
  double n = 0;
  if (host.empty() || !ParseCount(port.c_str(), 0, 65535, n) || n != std::floor(n)) return false;
  o.host = host;
  o.port = port;
  return true;
}

bool ParseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    double n = 0;
    if (arg == "--listen") {
      if (!ParseListen(value, o)) return false;
    } else if (arg == "--port") {
      if (!ParseCount(value, 0, 65535, n) || n != std::floor(n)) return false;
      o.port = value;
    } else if (arg == "--max-connections") {
      if (!ParseCount(value, 1, 100000, n)) return false;
      o.max_connections = static_cast<size_t>(n);
    } else if (arg == "--idle") {
      if (!ParseCount(value, 0.1, 86400, n)) return false;
      o.idle_seconds = n;
    } else if (arg == "--record") {
      o.record_path = value;
    } else {
      return false;
    }
  }
  return true;
}

int Listen(const Options& o) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (const int e = getaddrinfo(o.host.c_str(), o.port.c_str(), &hints, &found); e != 0) {
    std::fprintf(stderr, "slvn-video-relay: bad address %s: %s\n", o.host.c_str(), gai_strerror(e));
    return -1;
  }
  int fd = socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd >= 0) {
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, found->ai_addr, found->ai_addrlen) < 0 || listen(fd, 64) < 0) {
      close(fd);
      fd = -1;
    }
  }
  if (fd < 0)
    std::fprintf(stderr, "slvn-video-relay: cannot listen on %s port %s: %s\n", o.host.c_str(),
                 o.port.c_str(), std::strerror(errno));
  freeaddrinfo(found);
  return fd;
}

int BoundPort(int fd) {
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  char port[NI_MAXSERV] = "0";
  getnameinfo(reinterpret_cast<sockaddr*>(&addr), len, nullptr, 0, port, sizeof port,
              NI_NUMERICSERV);
  return std::atoi(port);
}

slvn::RelayHub::Limits Limits(double idle_seconds) {
  slvn::RelayHub::Limits limits;
  limits.idle_seconds = idle_seconds;
  return limits;
}

class Server {
 public:
  Server(int listener, const Options& o, FILE* record)
      : listener_(listener),
        max_connections_(o.max_connections),
        hub_(Limits(o.idle_seconds), [record](const std::string& line) {
          if (!record) return;
          std::fprintf(record, "%s\n", line.c_str());
          std::fflush(record);
        }) {}

  void Run() {
    std::vector<pollfd> fds;
    for (;;) {
      const double now = Now();
      fds.clear();
      const bool listening = now >= accept_resume_;
      fds.push_back({listening ? listener_ : -1, POLLIN, 0});
      for (int fd : open_)
        fds.push_back({fd, static_cast<short>(POLLIN | (hub_.Unsent(fd) ? POLLOUT : 0)), 0});
      if (poll(fds.data(), fds.size(), Timeout(now, listening)) < 0 && errno != EINTR) return;
      if (fds[0].revents & POLLIN) Accept();
      for (size_t i = 1; i < fds.size(); ++i)
        if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) Read(fds[i].fd);
      // Everything queued during reads goes out now, as far as the sockets take it.
      for (int fd : open_) Write(fd);
      hub_.Expire(Now());
      for (int fd : hub_.Sweep()) {
        close(fd);
        open_.erase(fd);
      }
    }
  }

 private:
  int Timeout(double now, bool listening) const {
    double until = hub_.NextExpiry();
    if (!listening) until = std::min(until, accept_resume_);
    if (std::isinf(until)) return -1;
    return static_cast<int>(std::ceil(std::max(0.0, until - now) * 1000));
  }

  void Accept() {
    for (int i = 0; i < kAcceptsPerRound; ++i) {
      const int fd = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) {
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
          // The connection stays pending and the listener readable: rest
          // rather than spin, and take it once descriptors are free.
          if (!out_of_descriptors_)
            std::fprintf(stderr, "slvn-video-relay: out of descriptors; new connections wait\n");
          out_of_descriptors_ = true;
          accept_resume_ = Now() + kAcceptPauseSeconds;
        }
        return;
      }
      out_of_descriptors_ = false;
      if (open_.size() >= max_connections_) {
        close(fd);  // full: the caller sees the connection end at once
        continue;
      }
      // Messages go out whole; the tail of a frame need not wait for an ack.
      const int on = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      open_.insert(fd);
      hub_.Open(fd, Now());
    }
  }

  void Read(int fd) {
    if (hub_.Closing(fd)) return;
    uint8_t buffer[kReadPerRound];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      hub_.Received(fd, {buffer, static_cast<size_t>(n)}, Now());
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      hub_.MarkClosing(fd);  // closed or failed
    }
  }

  void Write(int fd) {
    while (!hub_.Closing(fd)) {
      const auto bytes = hub_.Pending(fd);
      if (bytes.empty()) return;
      const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n > 0) {
        hub_.Sent(fd, static_cast<size_t>(n));
      } else {
        if (n < 0 && errno != EAGAIN && errno != EINTR) hub_.MarkClosing(fd);
        return;
      }
    }
  }

  int listener_;
  size_t max_connections_;
  slvn::RelayHub hub_;
  std::set<int> open_;
  double accept_resume_ = 0;
  bool out_of_descriptors_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseArgs(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: slvn-video-relay [--listen ADDR[:PORT]] [--port N] "
                 "[--max-connections N] [--idle SECONDS] [--record FILE]\n");
    return 2;
  }
  FILE* record = options.record_path ? std::fopen(options.record_path, "w") : nullptr;
  if (options.record_path && !record) {
    std::fprintf(stderr, "slvn-video-relay: cannot write %s\n", options.record_path);
    return 1;
  }
  const int listener = Listen(options);
  if (listener < 0) return 1;
  std::printf("%d\n", BoundPort(listener));
  std::fflush(stdout);
  std::signal(SIGPIPE, SIG_IGN);
  Server(listener, options, record).Run();
  return 1;
}
