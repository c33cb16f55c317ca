// slvn-video-relay [--port N] [--record FILE]
//
// Stands in for the video server: clients log in by name and bind their
// three user slots to peers; two clients bound to each other are linked
// (slot state 15) and their frames, formats and parameters are passed on,
// under the receiver's slot. Listens on 127.0.0.1 (port 8888; 0 picks a free
// one) and prints the port first; runs until killed.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "video/relay_protocol.h"

namespace {

using slvn::RelayMessage;
using slvn::RelayType;

constexpr size_t kMaxUnsentForFrames = 2u << 20;  // frames to a slower peer are dropped

struct Peer {
  int fd = -1;
  slvn::RelayReader reader;
  std::vector<uint8_t> out;
  std::string name;
  bool logged_in = false;
  std::array<std::string, 4> slots;  // 1..3
  std::array<int16_t, 4> reported{};
  bool closing = false;
};

class Relay {
 public:
  explicit Relay(FILE* record) : record_(record) {}

  void Add(int fd) {
    auto peer = std::make_unique<Peer>();
    peer->fd = fd;
    peers_[fd] = std::move(peer);
  }

  std::map<int, std::unique_ptr<Peer>>& Peers() { return peers_; }

  void Read(Peer& p) {
    uint8_t buffer[65536];
    for (;;) {
      const ssize_t n = read(p.fd, buffer, sizeof buffer);
      if (n > 0) {
        p.reader.Feed({buffer, static_cast<size_t>(n)});
        while (auto m = p.reader.Next()) Handle(p, *m);
        if (p.reader.Broken()) {
          Record("oversize " + Who(p));
          p.closing = true;
          return;
        }
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
      p.closing = true;  // closed or failed
      return;
    }
  }

  void Write(Peer& p) {
    while (!p.out.empty()) {
      const ssize_t n = send(p.fd, p.out.data(), p.out.size(), MSG_NOSIGNAL);
      if (n > 0) {
        p.out.erase(p.out.begin(), p.out.begin() + n);
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
      p.closing = true;
      return;
    }
  }

  // Takes closed connections off: their peers see their slots unlinked.
  void Sweep() {
    bool changed = false;
    for (auto it = peers_.begin(); it != peers_.end();) {
      if (!it->second->closing) {
        ++it;
        continue;
      }
      if (it->second->logged_in) Record("gone " + it->second->name);
      close(it->first);
      it = peers_.erase(it);
      changed = true;
    }
    if (changed) Restate();
  }

 private:
  void Handle(Peer& p, const RelayMessage& m) {
    switch (m.type) {
      case RelayType::kLogin:
        for (auto& [fd, other] : peers_)
          if (other.get() != &p && other->logged_in && other->name == m.name) {
            Record("replaced " + m.name);
            other->logged_in = false;
            other->closing = true;
          }
        p.name = m.name;
        p.logged_in = true;
        Record("login " + p.name);
        Send(p, Message(RelayType::kLoginState, 0, 2));
        Restate();
        break;
      case RelayType::kConnect:
        if (!p.logged_in || m.slot < 1 || m.slot > 3) break;
        p.slots[m.slot] = m.name;
        Record("bind " + p.name + " " + std::to_string(m.slot) + " " + m.name);
        Restate();
        break;
      case RelayType::kDrop:
        if (!p.logged_in || m.slot < 1 || m.slot > 3) break;
        p.slots[m.slot].clear();
        Record("drop " + p.name + " " + std::to_string(m.slot));
        Restate();
        break;
      case RelayType::kLogout:
        if (!p.logged_in) break;
        Record("logout " + p.name);
        p.logged_in = false;
        p.slots = {};
        Restate();
        break;
      case RelayType::kFrame:
      case RelayType::kFormat:
      case RelayType::kParam:
        Forward(p, m);
        break;
      default:
        break;
    }
  }

  void Forward(Peer& from, RelayMessage m) {
    if (!from.logged_in || m.slot < 1 || m.slot > 3) return;
    Peer* to = LoggedIn(from.slots[m.slot]);
    const int back = to ? SlotOf(*to, from.name) : 0;
    if (back == 0) return;  // not linked
    if (m.type == RelayType::kFrame) {
      if (to->out.size() > kMaxUnsentForFrames) {
        Record("dropped " + from.name + " " + to->name);
        return;
      }
      Record("frame " + from.name + " " + to->name + " " + std::to_string(m.bytes.size()));
    }
    m.slot = static_cast<uint8_t>(back);
    Send(*to, m);
  }

  Peer* LoggedIn(const std::string& name) {
    if (name.empty()) return nullptr;
    for (auto& [fd, p] : peers_)
      if (p->logged_in && !p->closing && p->name == name) return p.get();
    return nullptr;
  }

  static int SlotOf(const Peer& p, const std::string& name) {
    for (int s = 1; s <= 3; ++s)
      if (p.slots[s] == name) return s;
    return 0;
  }

  // Tells every client the slots whose state changed.
  void Restate() {
    for (auto& [fd, p] : peers_) {
      if (!p->logged_in || p->closing) continue;
      for (int s = 1; s <= 3; ++s) {
        int16_t state = slvn::kSlotFree;
        if (!p->slots[s].empty()) {
          Peer* other = LoggedIn(p->slots[s]);
          state = other && SlotOf(*other, p->name) ? slvn::kSlotLinked : slvn::kSlotBound;
        }
        if (state == p->reported[s]) continue;
        p->reported[s] = state;
        Record("state " + p->name + " " + std::to_string(s) + " " + std::to_string(state));
        Send(*p, Message(RelayType::kUserState, static_cast<uint8_t>(s), state));
      }
    }
  }

  static RelayMessage Message(RelayType type, uint8_t slot, int16_t value) {
    RelayMessage m;
    m.type = type;
    m.slot = slot;
    m.value = value;
    return m;
  }

  void Send(Peer& p, const RelayMessage& m) {
    const std::vector<uint8_t> bytes = slvn::EncodeRelayMessage(m);
    p.out.insert(p.out.end(), bytes.begin(), bytes.end());
  }

  static std::string Who(const Peer& p) { return p.logged_in ? p.name : "?"; }

  void Record(const std::string& line) {
    if (!record_) return;
    std::fprintf(record_, "%s\n", line.c_str());
    std::fflush(record_);
  }

  FILE* record_;
  std::map<int, std::unique_ptr<Peer>> peers_;
};

int Listen(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0 || listen(fd, 16) < 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int BoundPort(int fd) {
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin_port);
}

}  // namespace

int main(int argc, char** argv) {
  int port = 8888;
  const char* record_path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--port" && i + 1 < argc) {
      port = std::atoi(argv[++i]);
    } else if (arg == "--record" && i + 1 < argc) {
      record_path = argv[++i];
    } else {
      std::fprintf(stderr, "usage: slvn-video-relay [--port N] [--record FILE]\n");
      return 2;
    }
  }
  if (port < 0 || port > 65535) {
    std::fprintf(stderr, "slvn-video-relay: bad port\n");
    return 2;
  }
  FILE* record = record_path ? std::fopen(record_path, "w") : nullptr;
  if (record_path && !record) {
    std::fprintf(stderr, "slvn-video-relay: cannot write %s\n", record_path);
    return 1;
  }
  const int listener = Listen(port);
  if (listener < 0) {
    std::fprintf(stderr, "slvn-video-relay: cannot listen on port %d: %s\n", port,
                 std::strerror(errno));
    return 1;
  }
  std::printf("%d\n", BoundPort(listener));
  std::fflush(stdout);
  std::signal(SIGPIPE, SIG_IGN);

  Relay relay(record);
  for (;;) {
    std::vector<pollfd> fds{{listener, POLLIN, 0}};
    for (auto& [fd, p] : relay.Peers())
      fds.push_back({fd, static_cast<short>(POLLIN | (p->out.empty() ? 0 : POLLOUT)), 0});
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if (fds[0].revents & POLLIN) {
      for (;;) {
        const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) break;
        relay.Add(fd);
      }
    }
    for (size_t i = 1; i < fds.size(); ++i) {
      auto it = relay.Peers().find(fds[i].fd);
      if (it == relay.Peers().end()) continue;
      Peer& p = *it->second;
      if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) relay.Read(p);
    }
    // Everything queued during reads goes out now, as far as the sockets take it.
    for (auto& [fd, p] : relay.Peers()) relay.Write(*p);
    relay.Sweep();
  }
}
