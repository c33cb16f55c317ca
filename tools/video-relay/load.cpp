// slvn-relay-load --port N [--tables T] [--seconds S] [--fps F]
// slvn-relay-load --port N --flood PAIRS [--mib M] [--param 1]
//
// Puts a video relay on 127.0.0.1 under the load of T tables of four
// players, each table from a loopback address of its own (127.0.0.2 on), so
// that the relay's share for one address holds: each player logs in, links its three slots to its
// table mates and sends every table mate F frames a second of 320 x 240 x 24 bits for S seconds.
// Prints the frames sent and received and the time from a frame's first byte's sending to its
// arrival (median, 99th percentile, largest), and the 99th percentile of the worst second after
// the first (by the frames' sending), where a pause of the relay shows that the whole run hides.
//
// With --flood: PAIRS pairs of connections, each a sender and a partner
// that logs in, binds its slot to the sender and then never reads; every
// sender sends M MiB (8 by default) of empty FORMATs (or PARAMs) at once,
// and all of them stay open 3 s more. Prints "start" when the floods begin and the seconds they
// took to send.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "video/relay_protocol.h"

namespace {

using slvn::RelayMessage;
using slvn::RelayType;

constexpr size_t kFrameBytes = 54 + 320 * 240 * 3;
constexpr size_t kStampAt = 4 + 1 + 1 + 54;  // length, type, slot, the picture's headers

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Player {
  int fd = -1;
  std::string name;
  // What waits to be sent, front first: the messages made once below, never
  // copied, so that the load spends its time on its sockets and not on
  // fresh memory (a copy of each frame faulted in some 60,000 pages a
  // second at 64 players and took the machine's cores from the relay).
  std::deque<std::vector<uint8_t>*> out;
  size_t out_sent = 0;                     // of the front
  std::deque<std::vector<uint8_t>> setup;  // its log-in and bindings
  slvn::RelayReader reader;
  int linked = 0;
  double next_send = 0;
  std::vector<std::vector<uint8_t>> frames;  // one to each slot, made once
};

std::string Name(int table, int seat) {
  return "t" + std::to_string(table) + "p" + std::to_string(seat);
}

void Queue(Player& p, const RelayMessage& m) {
  p.out.push_back(&p.setup.emplace_back(slvn::EncodeRelayMessage(m)));
}

// A frame's time is stamped as its first byte goes to the kernel: the time
// measured is the relay's and the sockets', not this program's own queue.
// A frame queued again was sent whole before, so the stamp is written into
// bytes no longer on their way.
bool Flush(Player& p) {
  while (!p.out.empty()) {
    std::vector<uint8_t>& front = *p.out.front();
    if (p.out_sent == 0 && front.size() == kStampAt - 54 + kFrameBytes) {
      const double stamp = Now();
      std::memcpy(front.data() + kStampAt, &stamp, sizeof stamp);
    }
    const ssize_t n =
        send(p.fd, front.data() + p.out_sent, front.size() - p.out_sent, MSG_NOSIGNAL);
    if (n < 0) return errno == EAGAIN || errno == EINTR;
    if (n == 0) return false;
    p.out_sent += static_cast<size_t>(n);
    if (p.out_sent == front.size()) {
      p.out.pop_front();
      p.out_sent = 0;
    }
  }
  return true;
}

// A frame's time from sending to arrival, and when it was sent.
struct Arrival {
  double sent = 0, latency = 0;
};

// Reads what is there; the arriving frames go to the list.
bool Drain(Player& p, std::vector<Arrival>& arrivals) {
  for (;;) {
    // Straight into the reader, and frames are read in place: copying each
    // into fresh memory would make the load, not the relay, what is measured.
    const std::span<uint8_t> space = p.reader.Space(64 * 1024);
    if (space.empty()) return false;  // the stream broke
    const ssize_t n = recv(p.fd, space.data(), std::min<size_t>(space.size(), 256 * 1024), 0);
    if (n == 0) return false;
    if (n < 0) return errno == EAGAIN || errno == EINTR;
    p.reader.Filled(static_cast<size_t>(n));
    while (auto view = p.reader.NextView()) {
      if (view->type == static_cast<uint8_t>(RelayType::kFrame)) {
        if (view->payload.size() != 1 + kFrameBytes) continue;
        double sent = 0;
        std::memcpy(&sent, view->payload.data() + 1 + 54, sizeof sent);
        arrivals.push_back({sent, Now() - sent});
        continue;
      }
      auto m = slvn::DecodeRelayPayload(view->type, view->payload);
      if (m && m->type == RelayType::kUserState && m->value == slvn::kSlotLinked) ++p.linked;
    }
  }
}

double Percentile(std::vector<double>& v, double q) {
  if (v.empty()) return 0;
  const size_t i = std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())));
  std::nth_element(v.begin(), v.begin() + static_cast<ptrdiff_t>(i), v.end());
  return v[i];
}

// A small receive buffer is set before connecting, so the window is small
// too; a source address, when given, is a loopback one.
int Connect(int port, int receive_buffer = 0, const char* source = nullptr) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (receive_buffer > 0)
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
  if (source) {
    sockaddr_in from{};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, source, &from.sin_addr);
    if (bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) {
      std::perror("slvn-relay-load: bind");
      std::exit(1);
    }
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    std::perror("slvn-relay-load: connect");
    std::exit(1);
  }
  return fd;
}

bool SendAll(int fd, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<size_t>(n));
  }
  return true;
}

// Blocks until the message of the type arrives (at most 10 s).
bool Await(int fd, slvn::RelayReader& reader, RelayType type, int16_t value) {
  const double end = Now() + 10;
  for (;;) {
    while (auto m = reader.Next())
      if (m->type == type && m->value == value) return true;
    pollfd p{fd, POLLIN, 0};
    const double left = end - Now();
    if (left <= 0 || poll(&p, 1, static_cast<int>(left * 1000) + 1) <= 0) return false;
    uint8_t buffer[4096];
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    reader.Feed({buffer, static_cast<size_t>(n)});
  }
}

int Flood(int port, int pairs, size_t mib, bool param) {
  struct Pair {
    int sender = -1, partner = -1;
  };
  std::vector<Pair> all(static_cast<size_t>(pairs));
  for (size_t i = 0; i < all.size(); ++i) {
    const std::string sender = "fs" + std::to_string(i), partner = "fr" + std::to_string(i);
    all[i].partner = Connect(port, 4096);  // as a partner that never reads soon has
    all[i].sender = Connect(port);
    slvn::RelayReader partner_reader, sender_reader;
    RelayMessage m;
    m.type = RelayType::kLogin;
    m.name = partner;
    SendAll(all[i].partner, slvn::EncodeRelayMessage(m));
    m.name = sender;
    SendAll(all[i].sender, slvn::EncodeRelayMessage(m));
    m.type = RelayType::kConnect;
    m.slot = 1;
    m.name = sender;
    SendAll(all[i].partner, slvn::EncodeRelayMessage(m));
    m.name = partner;
    SendAll(all[i].sender, slvn::EncodeRelayMessage(m));
    if (!Await(all[i].partner, partner_reader, RelayType::kUserState, slvn::kSlotLinked) ||
        !Await(all[i].sender, sender_reader, RelayType::kUserState, slvn::kSlotLinked)) {
      std::fprintf(stderr, "slvn-relay-load: pair %zu was not linked\n", i);
      return 1;
    }
  }
  RelayMessage m;
  m.type = param ? RelayType::kParam : RelayType::kFormat;
  m.slot = 1;
  std::vector<uint8_t> burst;
  while (burst.size() < 64 * 1024) slvn::AppendRelayMessage(m, burst);
  const size_t total = mib << 20;
  std::printf("start\n");
  std::fflush(stdout);
  const double start = Now();
  std::vector<std::thread> threads;
  for (const Pair& p : all)
    threads.emplace_back([&burst, total, fd = p.sender] {
      for (size_t sent = 0; sent < total && SendAll(fd, burst); sent += burst.size()) {
      }
    });
  for (auto& t : threads) t.join();
  std::printf("flood of %zu x %zu MiB of %s sent in %.2f s\n", all.size(), mib,
              param ? "PARAMs" : "empty FORMATs", Now() - start);
  std::fflush(stdout);
  // The relay takes in what still waits in the sockets before they close.
  std::this_thread::sleep_for(std::chrono::seconds(3));
  for (const Pair& p : all) {
    close(p.sender);
    close(p.partner);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int port = 0, tables = 4, flood = 0, mib = 8, param = 0;
  double seconds = 30, fps = 10;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--flood")
      flood = std::atoi(argv[i + 1]);
    else if (arg == "--mib")
      mib = std::atoi(argv[i + 1]);
    else if (arg == "--param")
      param = std::atoi(argv[i + 1]);
    else if (arg == "--port")
      port = std::atoi(argv[i + 1]);
    else if (arg == "--tables")
      tables = std::atoi(argv[i + 1]);
    else if (arg == "--seconds")
      seconds = std::atof(argv[i + 1]);
    else if (arg == "--fps")
      fps = std::atof(argv[i + 1]);
  }
  if (port < 1 || port > 65535 || tables < 1 || tables > 64 || !(seconds > 0 && seconds <= 600) ||
      !(fps > 0 && fps <= 100) || argc % 2 == 0) {
    std::fprintf(stderr,
                 "usage: slvn-relay-load --port N [--tables T] [--seconds S] [--fps F]\n"
                 "       slvn-relay-load --port N --flood PAIRS [--mib M] [--param 1]\n");
    return 2;
  }
  if (flood > 0)
    return Flood(port, std::min(flood, 64), static_cast<size_t>(std::clamp(mib, 1, 1024)),
                 param != 0);

  std::vector<Player> players(static_cast<size_t>(tables) * 4);
  for (size_t i = 0; i < players.size(); ++i) {
    Player& p = players[i];
    const int table = static_cast<int>(i / 4), seat = static_cast<int>(i % 4);
    p.name = Name(table, seat);
    const std::string source = "127.0.0." + std::to_string(2 + table);
    p.fd = Connect(port, 0, source.c_str());
    fcntl(p.fd, F_SETFL, O_NONBLOCK);
    const int on = 1;
    setsockopt(p.fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    RelayMessage m;
    m.type = RelayType::kLogin;
    m.name = p.name;
    Queue(p, m);
    for (int s = 1; s <= 3; ++s) {
      m.type = RelayType::kConnect;
      m.slot = static_cast<uint8_t>(s);
      m.name = Name(table, (seat + s) % 4);
      Queue(p, m);
    }
    RelayMessage frame;
    frame.type = RelayType::kFrame;
    frame.bytes.assign(kFrameBytes, static_cast<uint8_t>(i));
    for (int s = 1; s <= 3; ++s) {
      frame.slot = static_cast<uint8_t>(s);
      p.frames.push_back(slvn::EncodeRelayMessage(frame));
    }
  }

  // Each table pumps its own four players on a thread of its own, so that
  // the load keeps its pace on a busy machine.
  struct Pump {
    std::span<Player> players;
    std::vector<Arrival> arrivals;
    size_t frames_sent = 0;

    void Run(double until, bool sending, double fps) {
      std::vector<pollfd> fds(players.size());
      for (double now = Now(); now < until; now = Now()) {
        double next = until;
        for (size_t i = 0; i < players.size(); ++i) {
          Player& p = players[i];
          if (sending && now >= p.next_send) {
            for (auto& frame : p.frames) p.out.push_back(&frame);
            frames_sent += p.frames.size();
            p.next_send += 1 / fps;
          }
          if (sending) next = std::min(next, p.next_send);
          fds[i] = {p.fd, static_cast<short>(POLLIN | (p.out.empty() ? 0 : POLLOUT)), 0};
        }
        const int wait = static_cast<int>(std::max(0.0, next - Now()) * 1000);
        poll(fds.data(), fds.size(), wait);
        for (Player& p : players) {
          if (!Flush(p) || !Drain(p, arrivals)) {
            std::fprintf(stderr, "slvn-relay-load: %s lost its connection\n", p.name.c_str());
            std::exit(1);
          }
        }
      }
    }
  };
  std::vector<Pump> pumps(static_cast<size_t>(tables));
  for (size_t t = 0; t < pumps.size(); ++t)
    pumps[t].players = std::span<Player>(players).subspan(t * 4, 4);

  // Everyone linked first, within 10 s.
  const double link_end = Now() + 10;
  for (Pump& pump : pumps) {
    while (Now() < link_end && !std::all_of(pump.players.begin(), pump.players.end(),
                                            [](const Player& p) { return p.linked >= 3; }))
      pump.Run(Now() + 0.05, false, fps);
  }
  for (const Player& p : players) {
    if (p.linked < 3) {
      std::fprintf(stderr, "slvn-relay-load: %s was not linked\n", p.name.c_str());
      return 1;
    }
  }
  const double start = Now();
  for (size_t i = 0; i < players.size(); ++i)
    players[i].next_send =
        start + static_cast<double>(i) / static_cast<double>(players.size()) / fps;
  std::printf("start\n");
  std::fflush(stdout);
  std::vector<std::thread> threads;
  for (Pump& pump : pumps)
    threads.emplace_back([&pump, start, seconds, fps] {
      pump.Run(start + seconds, true, fps);
      pump.Run(Now() + 1, false, fps);  // what is on its way arrives
    });
  std::vector<double> latencies;
  std::vector<std::vector<double>> by_second(static_cast<size_t>(std::ceil(seconds)) + 1);
  size_t frames_sent = 0;
  for (size_t t = 0; t < threads.size(); ++t) {
    threads[t].join();
    for (const Arrival& a : pumps[t].arrivals) {
      latencies.push_back(a.latency);
      const auto second = static_cast<size_t>(std::max(0.0, a.sent - start));
      by_second[std::min(second, by_second.size() - 1)].push_back(a.latency);
    }
    frames_sent += pumps[t].frames_sent;
  }
  double worst = 0;
  size_t worst_second = 0;
  for (size_t s = 1; s < by_second.size(); ++s) {
    if (by_second[s].empty()) continue;
    if (const double p = Percentile(by_second[s], 0.99); p > worst) {
      worst = p;
      worst_second = s;
    }
  }
  const size_t received = latencies.size();
  const double median = Percentile(latencies, 0.5), p99 = Percentile(latencies, 0.99);
  const double largest =
      latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end());
  std::printf("clients %zu, %.0f s, frames sent %zu, received %zu\n", players.size(), seconds,
              frames_sent, received);
  std::printf(
      "latency ms: median %.2f, p99 %.2f (worst second after the first: %.2f, at %zu-%zu s), "
      "max %.2f\n",
      median * 1000, p99 * 1000, worst * 1000, worst_second, worst_second + 1, largest * 1000);
  return 0;
}
