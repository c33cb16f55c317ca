// A stand-in game server for tests and the demo: listens on loopback, plays
// a script of packets to the client and records every packet it receives.
// See README.md for the script format.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "script.h"

namespace slvn::table_server {
namespace {

using test::PacketBytes;
using Clock = std::chrono::steady_clock;
constexpr int kAcceptSeconds = 30;

struct Options {
  int port = 0;
  std::string script;
  std::string record;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i];
    if (name == "--port")
      options.port = std::atoi(argv[i + 1]);
    else if (name == "--script")
      options.script = argv[i + 1];
    else if (name == "--record")
      options.record = argv[i + 1];
    else
      return false;
  }
  return argc % 2 == 1 && !options.script.empty();
}

class Server {
 public:
  explicit Server(FILE* record) : record_(record) {}
  ~Server() {
    CloseConnection(false);
    if (listen_fd_ >= 0) close(listen_fd_);
  }

  // Listens on 127.0.0.1; returns the port, or -1.
  int Listen(int port) {
    listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t length = sizeof address;
    if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listen_fd_, 4) != 0 ||
        getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return -1;
    return ntohs(address.sin_port);
  }

  // Waits at most kAcceptSeconds, so a client that never comes cannot hang a test.
  bool Accept() {
    CloseConnection(false);
    pollfd poll_fd{listen_fd_, POLLIN, 0};
    if (poll(&poll_fd, 1, kAcceptSeconds * 1000) != 1) {
      Log("FAIL no connection\n");
      return false;
    }
    conn_fd_ = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    Log("accept\n");
    return conn_fd_ >= 0;
  }

  void CloseConnection(bool reset) {
    if (conn_fd_ < 0) return;
    if (reset) {
      linger hard{1, 0};  // a reset instead of an orderly close
      setsockopt(conn_fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    close(conn_fd_);
    conn_fd_ = -1;
    partial_.clear();
    Log(reset ? "drop\n" : "close\n");
  }

  bool Send(const PacketBytes& packet, const std::vector<size_t>& split) {
    size_t at = 0;
    for (size_t i = 0; at < packet.size(); ++i) {
      size_t n = i < split.size() ? std::min(split[i], packet.size() - at) : packet.size() - at;
      if (!WriteAll(packet.data() + at, n)) return false;
      at += n;
      if (at < packet.size()) std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return true;
  }

  // Reads and records what arrives until `until`, or until a whole packet
  // arrived when `until_packet`.
  void Pump(Clock::time_point until, bool until_packet = false) {
    while (conn_fd_ >= 0 && !(until_packet && !received_.empty())) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
      pollfd poll_fd{conn_fd_, POLLIN, 0};
      if (poll(&poll_fd, 1, std::max<int>(0, static_cast<int>(left.count()))) <= 0) return;
      uint8_t chunk[4096];
      ssize_t n = recv(conn_fd_, chunk, sizeof chunk, 0);
      if (n <= 0) {
        Log("peer closed\n");
        close(conn_fd_);
        conn_fd_ = -1;
        return;
      }
      partial_.insert(partial_.end(), chunk, chunk + n);
      while (partial_.size() >= test::kPacketSize) {
        PacketBytes packet;
        std::copy_n(partial_.begin(), test::kPacketSize, packet.begin());
        partial_.erase(partial_.begin(), partial_.begin() + test::kPacketSize);
        Log("recv " + test::DescribePacket(packet) + "\n" + test::HexDump(packet));
        received_.push_back(packet);
      }
    }
  }

  // The next received packet of command `cmd`, skipping others; false on time-out.
  bool Expect(int cmd, int milliseconds, PacketBytes& packet) {
    auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
      while (!received_.empty()) {
        packet = received_.front();
        received_.pop_front();
        if (test::ParseFields(packet).cmd == cmd) return true;
      }
      if (conn_fd_ < 0 || Clock::now() >= until) return false;
      Pump(until, /*until_packet=*/true);
    }
  }

  void Log(const std::string& text) {
    if (!record_) return;
    std::fputs(text.c_str(), record_);
    std::fflush(record_);
  }

 private:
  bool WriteAll(const uint8_t* data, size_t length) {
    while (length > 0 && conn_fd_ >= 0) {
      ssize_t n = send(conn_fd_, data, length, MSG_NOSIGNAL);
      if (n <= 0) return false;
      data += n;
      length -= static_cast<size_t>(n);
    }
    return length == 0;
  }

  FILE* record_;
  int listen_fd_ = -1;
  int conn_fd_ = -1;
  std::vector<uint8_t> partial_;
  std::deque<PacketBytes> received_;
};

bool RunStep(Server& server, const Step& step) {
  switch (step.verb) {
    case Step::kSend: {
      PacketBytes packet = BuildSendPacket(step);
      server.Log("send " + test::DescribePacket(packet) + "\n");
      return server.Send(packet, step.split);
    }
    case Step::kExpect: {
      const auto until = Clock::now() + std::chrono::milliseconds(step.milliseconds);
      for (;;) {
        PacketBytes packet{};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        if (!server.Expect(step.cmd, static_cast<int>(std::max<int64_t>(0, left.count())),
                           packet)) {
          server.Log("FAIL line " + std::to_string(step.line) + ": no command " +
                     std::to_string(step.cmd) + "\n");
          return false;
        }
        std::string mismatch = Mismatch(step, packet);
        if (mismatch.empty()) return true;
        if (!step.skip_others) {
          server.Log("FAIL line " + std::to_string(step.line) + ": " + mismatch + "\n");
          return false;
        }
        server.Log("skip line " + std::to_string(step.line) + ": " + mismatch + "\n");
      }
    }
    case Step::kWait:
      server.Pump(Clock::now() + std::chrono::milliseconds(step.milliseconds));
      return true;
    case Step::kClose:
    case Step::kDrop:
      server.CloseConnection(step.verb == Step::kDrop);
      return true;
    case Step::kAccept:
      return server.Accept();
  }
  return false;
}

int Main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: slvn-table-server --script FILE [--port N] [--record FILE]\n");
    return 2;
  }
  std::ifstream file(options.script);
  std::stringstream text;
  text << file.rdbuf();
  std::vector<Step> steps;
  std::string error;
  if (!file || !ParseScript(text.str(), steps, error)) {
    std::fprintf(stderr, "slvn-table-server: %s: %s\n", options.script.c_str(),
                 error.empty() ? "cannot read" : error.c_str());
    return 2;
  }
  FILE* record = options.record.empty() ? nullptr : std::fopen(options.record.c_str(), "w");
  Server server(record);
  int port = server.Listen(options.port);
  if (port < 0) {
    std::fprintf(stderr, "slvn-table-server: cannot listen on port %d\n", options.port);
    return 2;
  }
  std::printf("%d\n", port);
  std::fflush(stdout);
  int status = server.Accept() ? 0 : 1;
  for (size_t i = 0; status == 0 && i < steps.size(); ++i) {
    if (!RunStep(server, steps[i])) {
      std::fprintf(stderr, "slvn-table-server: script line %d failed\n", steps[i].line);
      status = 1;
    }
  }
  server.CloseConnection(false);
  if (record) std::fclose(record);
  return status;
}

}  // namespace
}  // namespace slvn::table_server

int main(int argc, char** argv) {
  return slvn::table_server::Main(argc, argv);
}
