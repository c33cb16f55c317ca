// slvn-video-relay [--listen ADDR[:PORT]] [--port N] [--max-connections N]
//                  [--max-per-address N] [--login-deadline SECONDS]
//                  [--idle SECONDS] [--record FILE]
//
// Stands in for the video server: clients log in by name and bind their
// three user slots to peers; two clients bound to each other are linked
// (slot state 15) and their frames, formats and parameters are passed on,
// under the receiver's slot. Listens on 127.0.0.1 port 8888 unless told
// otherwise (port 0 picks a free one), prints the port first and runs until
// SIGTERM or SIGINT, which it records before it closes its connections.
#include <arpa/inet.h>
#include <linux/sockios.h>
#include <malloc.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/signalfd.h>
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
// Blocks this large (frame buffers, large read buffers) are mapped on
// their own, so freeing one gives it back to the system at once, a few
// pages at a time; what stays on the heap is the small messages' buffers.
constexpr int kMappedBlock = 128 * 1024;
// Freed queues go back to the system once this much more was held before
// and the heap holds as much free, at most once a second: after floods of
// small messages, not while frames stream (their buffers are mapped).
constexpr size_t kTrimBytes = 4u << 20;
constexpr double kTrimPauseSeconds = 1;
// What a connection's socket holds in the kernel (which doubles it for its
// own bookkeeping); frames count what it holds against their backlog.
constexpr int kSendBuffer = 256 * 1024;

constexpr const char* kUsage =
    "usage: slvn-video-relay [--listen ADDR[:PORT]] [--port N] [--max-connections N] "
    "[--max-per-address N] [--login-deadline SECONDS] [--idle SECONDS] [--record FILE]\n";

struct Options {
  std::string host = "127.0.0.1";
  std::string port = "8888";
  slvn::RelayHub::Limits limits;
  const char* record_path = nullptr;
};

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Digits only: no sign, space, exponent, fraction or base prefix.
bool ParseWhole(const std::string& text, unsigned long low, unsigned long high,
                unsigned long& out) {
  if (text.empty() || text.size() > 9) return false;
  unsigned long v = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    v = v * 10 + static_cast<unsigned long>(ch - '0');
  }
  if (v < low || v > high) return false;
  out = v;
  return true;
}

void BadNumber(const std::string& option, const std::string& what, const std::string& text,
               unsigned long low, unsigned long high) {
  std::fprintf(stderr, "slvn-video-relay: %s: %s \"%s\" is not a whole number from %lu to %lu\n",
               option.c_str(), what.c_str(), text.c_str(), low, high);
}

// ADDR, ADDR:PORT, [ADDR6] or [ADDR6]:PORT; a bare IPv6 address has colons of its own.
bool ParseListen(const std::string& text, Options& o) {
  std::string host = text, port = o.port;
  if (!text.empty() && text[0] == '[') {
    const size_t close = text.find(']');
    if (close == std::string::npos || (close + 1 < text.size() && text[close + 1] != ':')) {
      std::fprintf(stderr, "slvn-video-relay: --listen %s: not ADDR, ADDR:PORT or [ADDR6]:PORT\n",
                   text.c_str());
      return false;
    }
    host = text.substr(1, close - 1);
    if (close + 1 < text.size()) port = text.substr(close + 2);
  } else if (const size_t colon = text.find(':');
             colon != std::string::npos && text.find(':', colon + 1) == std::string::npos) {
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
  }
  unsigned long n = 0;
  if (!ParseWhole(port, 0, 65535, n)) {
    BadNumber("--listen " + text, "the port", port, 0, 65535);
    return false;
  }
  if (host.empty()) {
    std::fprintf(stderr, "slvn-video-relay: --listen %s: no address\n", text.c_str());
    return false;
  }
  o.host = host;
  o.port = std::to_string(n);
  return true;
}

// The numeric options and their ranges.
struct Number {
  const char* option;
  unsigned long low, high;
};
constexpr Number kNumbers[] = {
    {"--port", 0, 65535},
    {"--max-connections", 1, 100000},
    {"--max-per-address", 1, 100000},
    {"--login-deadline", 1, 3600},
    {"--idle", 1, 86400},
};

// False with a message for a bad command line; `help` when the usage was asked for.
bool ParseArgs(int argc, char** argv, Options& o, bool& help) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      help = true;
      return false;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "slvn-video-relay: %s wants a value\n", arg.c_str());
      return false;
    }
    const std::string value = argv[++i];
    const Number* number = nullptr;
    for (const Number& k : kNumbers)
      if (arg == k.option) number = &k;
    unsigned long n = 0;
    if (number && !ParseWhole(value, number->low, number->high, n)) {
      BadNumber(arg, "the value", value, number->low, number->high);
      return false;
    }
    if (arg == "--listen") {
      if (!ParseListen(value, o)) return false;
    } else if (arg == "--port") {
      o.port = std::to_string(n);
    } else if (arg == "--max-connections") {
      o.limits.max_connections = n;
    } else if (arg == "--max-per-address") {
      o.limits.max_per_address = n;
    } else if (arg == "--login-deadline") {
      o.limits.login_seconds = static_cast<double>(n);
    } else if (arg == "--idle") {
      // A live client says something every keep-alive period: a shorter
      // idle time would drop it between two.
      if (static_cast<double>(n) <= slvn::kKeepAliveSeconds) {
        std::fprintf(stderr,
                     "slvn-video-relay: --idle: %lu s does not exceed the clients' keep-alive of "
                     "%.0f s\n",
                     n, slvn::kKeepAliveSeconds);
        return false;
      }
      o.limits.idle_seconds = static_cast<double>(n);
    } else if (arg == "--record") {
      o.record_path = argv[i];
    } else {
      std::fprintf(stderr, "slvn-video-relay: unknown option %s\n", arg.c_str());
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

// The address a connection counts against: an IPv4 address, or the /64 of
// an IPv6 one, which is what one home gets (IPv4 mapped into IPv6 counts as
// IPv4).
std::string SourceAddress(const sockaddr_storage& addr) {
  char text[INET6_ADDRSTRLEN] = "?";
  if (addr.ss_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(addr).sin_addr, text, sizeof text);
    return text;
  }
  if (addr.ss_family != AF_INET6) return text;
  in6_addr a = reinterpret_cast<const sockaddr_in6&>(addr).sin6_addr;
  if (IN6_IS_ADDR_V4MAPPED(&a)) {
    inet_ntop(AF_INET, a.s6_addr + 12, text, sizeof text);
    return text;
  }
  std::memset(a.s6_addr + 8, 0, 8);
  inet_ntop(AF_INET6, &a, text, sizeof text);
  return std::string(text) + "/64";
}

// SIGTERM and SIGINT arrive as a descriptor to poll, so the relay stops
// between rounds.
int StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) return -1;
  return signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
}

class Server {
 public:
  Server(int listener, int signals, const Options& o, FILE* record)
      : listener_(listener),
        signals_(signals),
        record_(record),
        hub_(
            o.limits, [this](const std::string& line) { Write(line); },
            [](int fd) {
              int queued = 0;
              return ioctl(fd, SIOCOUTQ, &queued) == 0 && queued > 0 ? static_cast<size_t>(queued)
                                                                     : size_t{0};
            }) {}

  ~Server() {
    if (epoll_ >= 0) close(epoll_);
  }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // True once stopped by a signal; false when epoll fails. epoll rather
  // than poll: a round costs what the ready connections need, not a look
  // at every connection (a quarter of the relay's time at 64 players).
  bool Run() {
    if (epoll_ < 0 || !Watch(EPOLL_CTL_ADD, signals_, EPOLLIN)) {
      std::fprintf(stderr, "slvn-video-relay: epoll: %s\n", std::strerror(errno));
      return false;
    }
    std::vector<epoll_event> events(256);
    for (;;) {
      const double now = Now();
      const bool listening = now >= accept_resume_;
      if (listening != listener_watched_) {
        Watch(listening ? EPOLL_CTL_ADD : EPOLL_CTL_DEL, listener_, EPOLLIN);
        listener_watched_ = listening;
      }
      const int n = epoll_wait(epoll_, events.data(), static_cast<int>(events.size()),
                               Timeout(now, listening));
      if (n < 0 && errno != EINTR) {
        std::fprintf(stderr, "slvn-video-relay: epoll: %s\n", std::strerror(errno));
        return false;
      }
      for (int i = 0; i < n; ++i) {
        if (events[i].data.fd == signals_) {
          Stop();
          return true;
        }
      }
      for (int i = 0; i < n; ++i) {
        const int fd = events[i].data.fd;
        const uint32_t what = events[i].events;
        if (fd == listener_) {
          Accept();
          continue;
        }
        if (what & EPOLLOUT) {
          blocked_.erase(fd);
          Watch(EPOLL_CTL_MOD, fd, EPOLLIN);
        }
        if (what & (EPOLLIN | EPOLLHUP | EPOLLERR)) Read(fd);
      }
      hub_.Expire(Now());
      const std::vector<int> gone = hub_.Sweep();
      FlushRecord();
      for (int fd : gone) {
        close(fd);
        open_.erase(fd);
        blocked_.erase(fd);
      }
      // Everything queued during reads and by the closings (their peers'
      // slot states) goes out now, as far as the sockets take it: nothing
      // else wakes the relay for it. A socket that took no more waits until
      // epoll says it can.
      for (int fd : open_)
        if (hub_.Unsent(fd) && !blocked_.contains(fd)) Send(fd);
      GiveBack(Now());
    }
  }

 private:
  bool Watch(int op, int fd, uint32_t events) {
    epoll_event e{};
    e.events = events;
    e.data.fd = fd;
    return epoll_ctl(epoll_, op, fd, &e) == 0;
  }

  // A socket that took no more is watched for room.
  void Block(int fd) {
    if (blocked_.insert(fd).second) Watch(EPOLL_CTL_MOD, fd, EPOLLIN | EPOLLOUT);
  }

  int Timeout(double now, bool listening) const {
    double until = hub_.NextExpiry();
    if (!listening) until = std::min(until, accept_resume_);
    if (trim_waits_) until = std::min(until, next_trim_);
    if (std::isinf(until)) return -1;
    return static_cast<int>(std::ceil(std::max(0.0, until - now) * 1000));
  }

  void Accept() {
    for (int i = 0; i < kAcceptsPerRound; ++i) {
      sockaddr_storage addr{};
      socklen_t len = sizeof addr;
      const int fd = accept4(listener_, reinterpret_cast<sockaddr*>(&addr), &len,
                             SOCK_NONBLOCK | SOCK_CLOEXEC);
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
      if (!hub_.Open(fd, SourceAddress(addr), Now())) {
        FlushRecord();
        close(fd);  // turned away: the caller sees the connection end at once
        continue;
      }
      // Messages go out whole; the tail of a frame need not wait for an ack.
      const int on = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSendBuffer, sizeof kSendBuffer);
      if (!Watch(EPOLL_CTL_ADD, fd, EPOLLIN)) {
        hub_.MarkClosing(fd);  // swept and closed at the end of the round
        continue;
      }
      open_.insert(fd);
    }
  }

  // Straight into the connection's buffer: a frame is copied once after
  // the read, into the buffer it goes out from.
  void Read(int fd) {
    const std::span<uint8_t> space = hub_.ReadSpace(fd);
    if (space.empty()) return;
    const ssize_t n = read(fd, space.data(), std::min(space.size(), kReadPerRound));
    if (n > 0) {
      hub_.Filled(fd, static_cast<size_t>(n), Now());
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      hub_.MarkClosing(fd);  // closed or failed
    }
  }

  void Send(int fd) {
    while (!hub_.Closing(fd)) {
      const auto bytes = hub_.Pending(fd);
      if (bytes.empty()) return;
      const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n > 0) {
        hub_.Sent(fd, static_cast<size_t>(n));
        if (static_cast<size_t>(n) < bytes.size()) break;  // the socket is full
      } else {
        if (n < 0 && errno != EAGAIN && errno != EINTR) hub_.MarkClosing(fd);
        if (n < 0 && errno == EAGAIN) Block(fd);
        return;
      }
    }
    if (hub_.Unsent(fd)) Block(fd);
  }

  // Memory freed by queues that emptied or connections that closed goes
  // back to the system rather than staying at the peak.
  void GiveBack(double now) {
    const size_t held = hub_.Held();
    held_mark_ = std::max(held_mark_, held);
    trim_waits_ = held + kTrimBytes <= held_mark_;
    if (!trim_waits_ || now < next_trim_) return;
    const struct mallinfo2 heap = mallinfo2();
    if (heap.fordblks >= heap.keepcost + kTrimBytes) malloc_trim(0);
    held_mark_ = held;
    trim_waits_ = false;
    next_trim_ = now + kTrimPauseSeconds;
  }

  // The record is flushed once a round rather than once a line, and before
  // a client can see what its lines tell: a closing, a slot state.
  void FlushRecord() {
    if (record_) std::fflush(record_);
  }

  void Write(const std::string& line) {
    if (!record_) return;
    std::fwrite(line.data(), 1, line.size(), record_);
    std::fputc('\n', record_);
  }

  void Stop() {
    signalfd_siginfo info{};
    const char* name = "a signal";
    if (read(signals_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
      name = info.ssi_signo == SIGINT ? "SIGINT" : "SIGTERM";
    hub_.Summarize(Now());
    Write(std::string("stopped by ") + name + ", closing " + std::to_string(open_.size()) +
          " connections");
    FlushRecord();
    std::fprintf(stderr, "slvn-video-relay: stopped by %s\n", name);
    for (int fd : open_) close(fd);
    open_.clear();
  }

  int listener_;
  int signals_;
  FILE* record_;
  slvn::RelayHub hub_;
  std::set<int> open_;
  int epoll_ = epoll_create1(EPOLL_CLOEXEC);
  bool listener_watched_ = false;
  std::set<int> blocked_;  // sockets that took no more; written again after EPOLLOUT
  size_t held_mark_ = 0;
  double next_trim_ = 0;
  bool trim_waits_ = false;  // memory to give back once the pause is over
  double accept_resume_ = 0;
  bool out_of_descriptors_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  bool help = false;
  if (!ParseArgs(argc, argv, options, help)) {
    std::fputs(kUsage, help ? stdout : stderr);
    return help ? 0 : 2;
  }
  FILE* record = options.record_path ? std::fopen(options.record_path, "w") : nullptr;
  if (options.record_path && !record) {
    std::fprintf(stderr, "slvn-video-relay: cannot write %s\n", options.record_path);
    return 1;
  }
  const int signals = StopSignals();
  if (signals < 0) {
    std::fprintf(stderr, "slvn-video-relay: cannot watch for signals: %s\n", std::strerror(errno));
    return 1;
  }
  const int listener = Listen(options);
  if (listener < 0) return 1;
  std::printf("%d\n", BoundPort(listener));
  std::fflush(stdout);
  std::signal(SIGPIPE, SIG_IGN);
  mallopt(M_MMAP_THRESHOLD, kMappedBlock);
  const bool stopped = Server(listener, signals, options, record).Run();
  if (record) std::fclose(record);
  return stopped ? 0 : 1;
}
