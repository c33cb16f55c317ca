// The video relay under clients that misbehave: each test runs the real
// relay on the loopback address and talks to it over plain sockets.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"
#include "support/video_relay.h"
#include "video/relay_protocol.h"

namespace slvn {
namespace {

using Seconds = std::chrono::duration<double>;

double Now() {
  return Seconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// One blocking connection to the relay, from a loopback source address
// when one is given; every wait is bounded.
class RawClient {
 public:
  explicit RawClient(int port, int receive_buffer = 0, const char* source = nullptr) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receive_buffer > 0)
      setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
    if (source) {
      sockaddr_in from{};
      from.sin_family = AF_INET;
      inet_pton(AF_INET, source, &from.sin_addr);
      if (bind(fd_, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) Close();
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) Close();
  }
  ~RawClient() { Close(); }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

  // False once the relay has closed the connection.
  bool Send(RelayType type, uint8_t slot = 0, std::string name = {},
            std::vector<uint8_t> bytes = {}, int16_t value = 0) {
    RelayMessage m;
    m.type = type;
    m.slot = slot;
    m.name = std::move(name);
    m.bytes = std::move(bytes);
    m.value = value;
    return SendRaw(EncodeRelayMessage(m));
  }
  bool SendRaw(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
      const ssize_t n = send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return fd_ >= 0;
  }

  // The next message of the type within the time; others are passed over.
  std::optional<RelayMessage> Next(RelayType type, double timeout = 5) {
    const double end = Now() + timeout;
    for (;;) {
      while (auto m = reader_.Next())
        if (m->type == type) return m;
      if (!Wait(end)) return std::nullopt;
    }
  }

  // True when the relay closes the connection within the time.
  bool ClosedWithin(double timeout) {
    const double end = Now() + timeout;
    while (Wait(end)) {
    }
    return eof_;
  }

 private:
  // Reads what arrives before the end; false at the end or at end of stream.
  bool Wait(double end) {
    if (fd_ < 0 || eof_) return false;
    const double left = end - Now();
    if (left <= 0) return false;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left * 1000) + 1) <= 0) return false;
    uint8_t buffer[65536];
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) {
      eof_ = true;
      return false;
    }
    reader_.Feed({buffer, static_cast<size_t>(n)});
    return true;
  }

  int fd_ = -1;
  bool eof_ = false;
  RelayReader reader_;
};

// Logs in and returns the relay's answer (0 when none came).
int16_t LogIn(RawClient& c, const std::string& name, double timeout = 5) {
  c.Send(RelayType::kLogin, 0, name);
  auto answer = c.Next(RelayType::kLoginState, timeout);
  return answer ? answer->value : 0;
}

void Link(RawClient& a, const std::string& a_name, RawClient& b, const std::string& b_name) {
  a.Send(RelayType::kConnect, 1, b_name);
  b.Send(RelayType::kConnect, 1, a_name);
  for (RawClient* c : {&a, &b}) {
    auto state = c->Next(RelayType::kUserState);
    while (state && state->value != kSlotLinked) state = c->Next(RelayType::kUserState);
    ASSERT_TRUE(state);
  }
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

bool Eventually(const std::function<bool()>& done) {
  for (const double end = Now() + 5; !done();
       std::this_thread::sleep_for(std::chrono::milliseconds(20)))
    if (Now() > end) return false;
  return true;
}

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// The frame summaries of a sender and receiver added up: "frames A B: P
// passed on, N bytes, D dropped".
struct FrameCounts {
  int passed = 0, dropped = 0;
  long bytes = 0;
};
FrameCounts FramesIn(const std::string& record, const std::string& head) {
  FrameCounts sum;
  for (size_t at = record.find(head); at != std::string::npos; at = record.find(head, at + 1)) {
    int passed = 0, dropped = 0;
    long bytes = 0;
    if (std::sscanf(record.c_str() + at + head.size(), "%d passed on, %ld bytes, %d dropped",
                    &passed, &bytes, &dropped) != 3)
      continue;
    sum.passed += passed;
    sum.bytes += bytes;
    sum.dropped += dropped;
  }
  return sum;
}

TEST(RelayServerTest, NeverReadMessagesStayBoundedFramesFirst) {
  test::TempDir dir;
  test::VideoRelay relay(dir);
  ASSERT_GT(relay.port(), 0);
  const long before = test::ProcessResidentBytes(relay.pid(), false);
  ASSERT_GT(before, 0);

  // A receiver that never reads loses frames, the newest waiting one
  // winning, and stays connected.
  RawClient sender(relay.port()), slow(relay.port(), 4096);
  ASSERT_EQ(LogIn(sender, "sender"), kLoginAccepted);
  ASSERT_EQ(LogIn(slow, "slow"), kLoginAccepted);
  Link(sender, "sender", slow, "slow");
  constexpr int kFrames = 100;
  std::vector<uint8_t> frame(230454);
  for (int i = 1; i <= kFrames; ++i) {
    frame[0] = static_cast<uint8_t>(i);
    ASSERT_TRUE(sender.Send(RelayType::kFrame, 1, "", frame));
  }
  sender.Send(RelayType::kParam, 1, "", {}, 77);
  // The answer to a log-in comes once the relay has handled every frame.
  ASSERT_EQ(LogIn(sender, "sender", 60), kLoginAccepted);
  // The parameter went after the last frame: every frame that arrives came
  // before it, the last of them the newest.
  int frames = 0, last = 0;
  for (;;) {
    auto m = slow.Next(RelayType::kFrame, 0.5);
    if (!m) break;
    ++frames;
    last = m->bytes.at(0);
  }
  // What waited for it in the relay and in the relay's socket together
  // stayed within the frames' 2 MiB, and one frame more in its own socket.
  EXPECT_LE(static_cast<size_t>(frames - 1) * frame.size(), 2u << 20) << frames << " frames";
  EXPECT_EQ(last, kFrames);
  EXPECT_FALSE(slow.ClosedWithin(0.1));

  // One connection bound to itself that never reads and sends 150 formats
  // of 1 MiB is closed once its backlog is full.
  RawClient flood(relay.port(), 4096);
  ASSERT_EQ(LogIn(flood, "flood"), kLoginAccepted);
  flood.Send(RelayType::kConnect, 1, "flood");
  const std::vector<uint8_t> format(1 << 20, 1);
  int sent = 0;
  while (sent < 150 && flood.Send(RelayType::kFormat, 1, "", format)) ++sent;
  EXPECT_TRUE(flood.ClosedWithin(5));
  EXPECT_LT(sent, 150);
  const long peak = test::ProcessResidentBytes(relay.pid(), true);
  EXPECT_LT(peak - before, 40l << 20) << "before " << before << " peak " << peak;
  std::cout << "relay resident: " << before / 1024 << " KiB before, peak " << peak / 1024
            << " KiB after the floods\n";
  // The frames go into the record as one summary when the sender goes.
  sender.Close();
  ASSERT_TRUE(Eventually([&] { return Contains(relay.Record(), "gone sender"); }));
  const std::string record = relay.Record();
  // Every frame is either passed on or dropped, and only those that arrived
  // count as passed on: a frame replaced while it waited was dropped.
  const FrameCounts counts = FramesIn(record, "frames sender slow: ");
  EXPECT_EQ(counts.passed, frames) << record;
  EXPECT_EQ(counts.bytes, static_cast<long>(frames) * static_cast<long>(frame.size())) << record;
  EXPECT_EQ(counts.passed + counts.dropped, kFrames) << record;
  EXPECT_LT(std::count(record.begin(), record.end(), '\n'), 30) << record;
  EXPECT_TRUE(Contains(record, "behind flood")) << record;
  EXPECT_FALSE(Contains(record, "behind slow")) << record;
}

// Empty FORMATs and PARAMs, the smallest messages, to a partner that never
// reads: the relay's queue for it counts what the messages cost in memory,
// so its growth stays within the figure for large messages (before, 4 MiB
// of them queued grew the relay by 44 MiB).
TEST(RelayServerTest, SmallMessageFloodsStayWithinTheQueueFigure) {
  test::TempDir dir;
  test::VideoRelay relay(dir);
  ASSERT_GT(relay.port(), 0);
  const long before = test::ProcessResidentBytes(relay.pid(), false);
  ASSERT_GT(before, 0);
  for (const RelayType type : {RelayType::kFormat, RelayType::kParam}) {
    const std::string name = type == RelayType::kFormat ? "format" : "param";
    RawClient sender(relay.port()), partner(relay.port(), 4096);
    ASSERT_EQ(LogIn(sender, name + "-sender"), kLoginAccepted);
    ASSERT_EQ(LogIn(partner, name + "-partner"), kLoginAccepted);
    Link(sender, name + "-sender", partner, name + "-partner");
    RelayMessage m;
    m.type = type;
    m.slot = 1;
    std::vector<uint8_t> burst;
    while (burst.size() < 64 * 1024) AppendRelayMessage(m, burst);
    // 5 MiB, the part that the sockets do not hold more than the queue's
    // limit; some 800,000 messages.
    for (size_t sent = 0; sent < (5u << 20); sent += burst.size())
      ASSERT_TRUE(sender.SendRaw(burst));
    // The answer to a log-in comes after every message before it was handled.
    // (A sanitizer build takes seconds over them.)
    EXPECT_EQ(LogIn(sender, name + "-sender", 60), kLoginAccepted) << name;
  }
  // A queue of 4 MiB and a read buffer of at most 1.3 MiB for each of the
  // four connections, which only the two partners fill.
  const long peak = test::ProcessResidentBytes(relay.pid(), true);
  EXPECT_LT(peak - before, 12l << 20) << "before " << before << " peak " << peak;
  std::cout << "relay resident: " << before / 1024 << " KiB before, peak " << peak / 1024
            << " KiB after the small-message floods\n";
}

// One address fills its share of places with live connections and tries for
// more; a player from another address still logs in at once, and the relay
// says why it turned the others away.
TEST(RelayServerTest, OneAddressHoldsItsShareAndAnotherAddressStillGetsIn) {
  test::TempDir dir;
  test::VideoRelay relay(dir, {.args = {"--max-per-address", "3", "--max-connections", "5"}});
  ASSERT_GT(relay.port(), 0);
  std::vector<std::unique_ptr<RawClient>> held;
  for (int i = 0; i < 3; ++i) {
    held.push_back(std::make_unique<RawClient>(relay.port(), 0, "127.0.0.2"));
    ASSERT_EQ(LogIn(*held.back(), "holder" + std::to_string(i)), kLoginAccepted);
  }
  for (int i = 0; i < 5; ++i) {
    RawClient more(relay.port(), 0, "127.0.0.2");
    EXPECT_TRUE(more.ClosedWithin(5)) << i;
  }
  std::vector<std::unique_ptr<RawClient>> players;
  for (const char* source : {"127.0.0.3", "127.0.0.4"}) {
    players.push_back(std::make_unique<RawClient>(relay.port(), 0, source));
    const double start = Now();
    EXPECT_EQ(LogIn(*players.back(), std::string("player@") + source), kLoginAccepted);
    const double wait = Now() - start;
    EXPECT_LT(wait, 1.0) << source;
    std::cout << "login from " << source << " answered in " << wait * 1000
              << " ms while 127.0.0.2 holds its places\n";
  }
  // The places are the holders' and the two players': a sixth finds it full.
  RawClient late(relay.port(), 0, "127.0.0.5");
  EXPECT_TRUE(late.ClosedWithin(5));
  ASSERT_TRUE(Eventually([&] { return Contains(relay.Record(), "turned away 127.0.0.5: full"); }))
      << relay.Record();
  // Five turned away from one address within moments: one line, or a few.
  const std::string record = relay.Record();
  const std::string line = "turned away 127.0.0.2: too many from one address";
  size_t lines = 0;
  for (size_t at = record.find(line); at != std::string::npos; at = record.find(line, at + 1))
    ++lines;
  EXPECT_GE(lines, 1u) << record;
  EXPECT_LT(lines, 5u) << record;
}

// A connection that never logs in is closed at the log-in deadline; one
// that logged in stays.
TEST(RelayServerTest, AConnectionThatNeverLogsInIsClosedAtTheDeadline) {
  test::TempDir dir;
  test::VideoRelay relay(dir, {.args = {"--login-deadline", "1"}});
  ASSERT_GT(relay.port(), 0);
  RawClient silent(relay.port()), chatty(relay.port()), player(relay.port());
  const double start = Now();
  ASSERT_EQ(LogIn(player, "player"), kLoginAccepted);
  // Keep-alives do not stand in for a log-in.
  for (int i = 0; i < 3 && chatty.Send(RelayType::kKeepAlive); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(silent.ClosedWithin(5));
  EXPECT_GE(Now() - start, 0.9);
  EXPECT_TRUE(chatty.ClosedWithin(5));
  EXPECT_FALSE(player.ClosedWithin(0.5));
  EXPECT_TRUE(Contains(relay.Record(), "turned away 127.0.0.1: no log-in in time"))
      << relay.Record();
}

// SIGTERM: a last line in the record and on stderr, and the connections
// closed; a connection's flood of events is cut short in the record.
TEST(RelayServerTest, StopsOnSigtermWithALastLineAndKeepsItsRecordSmall) {
  test::TempDir dir;
  test::VideoRelay relay(dir);
  ASSERT_GT(relay.port(), 0);
  RawClient c(relay.port());
  ASSERT_EQ(LogIn(c, "binder"), kLoginAccepted);
  for (int i = 0; i < 500; ++i) {
    c.Send(RelayType::kConnect, 1, "someone" + std::to_string(i));
    c.Send(RelayType::kDrop, 1);
  }
  // Slot 2 bound: every message before it was handled.
  c.Send(RelayType::kConnect, 2, "marker");
  std::optional<RelayMessage> state;
  do state = c.Next(RelayType::kUserState);
  while (state && state->slot != 2);
  ASSERT_TRUE(state);
  kill(relay.pid(), SIGTERM);
  EXPECT_TRUE(c.ClosedWithin(5));
  ASSERT_TRUE(Eventually([&] { return Contains(relay.Record(), "stopped by SIGTERM"); }));
  const std::string record = relay.Record();
  EXPECT_LT(std::count(record.begin(), record.end(), '\n'), 40) << record;
  EXPECT_TRUE(Contains(record, "lines binder: ")) << record;
  EXPECT_TRUE(Contains(relay.Errors(), "stopped by SIGTERM")) << relay.Errors();
}

TEST(RelayServerTest, ALiveConnectionKeepsItsNameAndASilentOneLosesIt) {
  test::TempDir dir;
  test::VideoRelay relay(dir, {.args = {"--idle", "6"}});
  ASSERT_GT(relay.port(), 0);
  RawClient alice(relay.port()), bob(relay.port()), impostor(relay.port());
  ASSERT_EQ(LogIn(alice, "alice"), kLoginAccepted);
  ASSERT_EQ(LogIn(bob, "bob"), kLoginAccepted);
  Link(alice, "alice", bob, "bob");
  // Alice keeps the name as long as she speaks, keep-alives included.
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(LogIn(impostor, "alice"), kLoginNameHeld) << i;
    alice.Send(RelayType::kKeepAlive);
    bob.Send(RelayType::kKeepAlive);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  // The impostor is not linked to bob: bob's frames stay with alice.
  impostor.Send(RelayType::kConnect, 1, "bob");
  bob.Send(RelayType::kFrame, 1, "", {1, 2, 3});
  auto frame = alice.Next(RelayType::kFrame);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->bytes, (std::vector<uint8_t>{1, 2, 3}));
  // Silent, she is taken for dead and her name is free again.
  EXPECT_TRUE(alice.ClosedWithin(10));
  RawClient again(relay.port());
  EXPECT_EQ(LogIn(again, "alice"), kLoginAccepted);
  EXPECT_TRUE(Contains(relay.Record(), "idle alice")) << relay.Record();
}

TEST(RelayServerTest, ListensWhereItIsTold) {
  const struct {
    const char* listen;
    int family;  // 0: refused
  } cases[] = {
      {"127.0.0.1:0", AF_INET},
      {"[::1]:0", AF_INET6},
      {"localhost:0", 0},
      {"[::1", 0},
      {"[::1]0", 0},
      {"", 0},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    test::VideoRelay relay(dir, {.args = {"--listen", c.listen}});
    if (c.family == 0) {
      EXPECT_EQ(relay.port(), 0) << c.listen;
      EXPECT_FALSE(relay.Errors().empty()) << c.listen;
      continue;
    }
    ASSERT_GT(relay.port(), 0) << c.listen;
    const int fd = socket(c.family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_storage addr{};
    socklen_t len = sizeof(sockaddr_in);
    if (c.family == AF_INET) {
      auto* a = reinterpret_cast<sockaddr_in*>(&addr);
      a->sin_family = AF_INET;
      a->sin_port = htons(static_cast<uint16_t>(relay.port()));
      a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    } else {
      auto* a = reinterpret_cast<sockaddr_in6*>(&addr);
      a->sin6_family = AF_INET6;
      a->sin6_port = htons(static_cast<uint16_t>(relay.port()));
      a->sin6_addr = in6addr_loopback;
      len = sizeof *a;
    }
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&addr), len), 0) << c.listen;
    close(fd);
  }
}

// Numbers are whole decimal numbers; the message names the bad one.
TEST(RelayServerTest, BadNumbersAreRefusedByName) {
  const struct {
    std::vector<std::string> args;
    std::string named;  // the option and the value the message names
  } cases[] = {
      {{"--listen", "127.0.0.1:1e3"}, "port \"1e3\""},
      {{"--listen", "127.0.0.1:0x2"}, "port \"0x2\""},
      {{"--listen", "127.0.0.1:47004.0"}, "port \"47004.0\""},
      {{"--listen", "127.0.0.1: 80"}, "port \" 80\""},
      {{"--listen", "127.0.0.1:99999"}, "port \"99999\""},
      {{"--listen", "[::1]:x"}, "port \"x\""},
      {{"--port", "-1"}, "--port: the value \"-1\""},
      {{"--max-connections", "2.5"}, "--max-connections: the value \"2.5\""},
      {{"--max-per-address", "0"}, "--max-per-address: the value \"0\""},
      {{"--login-deadline", "+3"}, "--login-deadline: the value \"+3\""},
      {{"--idle", "1e3"}, "--idle: the value \"1e3\""},
      {{"--idle", "5"}, "--idle: 5 s does not exceed the clients' keep-alive of 5 s"},
      {{"--idle", "99999999999999999999"}, "--idle: the value \"99999999999999999999\""},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    test::VideoRelay relay(dir, {.args = c.args});
    EXPECT_EQ(relay.port(), 0) << c.args[1];
    const std::string errors = relay.Errors();
    EXPECT_TRUE(Contains(errors, c.named)) << errors;
    EXPECT_FALSE(Contains(errors, "bad address")) << errors;
  }
}

// The record's size is bounded whatever the traffic: a connection that keeps
// switching its name has one allowance of lines, and a storm of connections
// that each log in and go is held to the relay's lines a second.
TEST(RelayServerTest, TheRecordStaysSmallUnderNameSwitchingAndAConnectStorm) {
  test::TempDir dir;
  test::VideoRelay relay(dir);
  ASSERT_GT(relay.port(), 0);
  RawClient switcher(relay.port());
  for (int i = 0; i < 1000; ++i) {
    switcher.Send(RelayType::kLogin, 0, "north");
    switcher.Send(RelayType::kLogin, 0, "south");
  }
  // Every log-in is answered: the last answer comes once all were handled.
  switcher.Send(RelayType::kLogin, 0, "east");
  std::optional<RelayMessage> answer;
  for (int i = 0; i <= 2000; ++i) ASSERT_TRUE(answer = switcher.Next(RelayType::kLoginState, 60));
  EXPECT_EQ(answer->value, kLoginAccepted);
  // 20 lines between two summaries, the count left out, perhaps a summary.
  EXPECT_LT(Lines(relay.Record()), 40) << relay.Record().substr(0, 2000);

  // The storm: connect, log in, close, from four loopback addresses.
  constexpr int kStorm = 1000;
  const double start = Now();
  for (int i = 0; i < kStorm; ++i) {
    const std::string source = "127.0.0." + std::to_string(2 + i % 4);
    RawClient c(relay.port(), 0, source.c_str());
    c.Send(RelayType::kLogin, 0, "storm" + std::to_string(i));
  }
  RawClient last(relay.port(), 0, "127.0.0.9");
  ASSERT_EQ(LogIn(last, "last", 60), kLoginAccepted);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const double seconds = Now() - start;
  const std::string record = relay.Record();
  // The relay's allowance: a burst of 500 lines, then 50 a second, each
  // line at most 640 bytes (before, every connection wrote its own lines).
  const double allowed = 500 + 50 * (seconds + 1) + 40;
  EXPECT_LT(Lines(record), allowed) << seconds << " s";
  EXPECT_LT(static_cast<double>(record.size()), allowed * 640);
  // The count of the lines left out comes with the next line let through
  // or at the summary, 10 s on at most.
  bool counted = false;
  for (const double end = Now() + 15; !counted && Now() < end;
       std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    counted = Contains(relay.Record(), " lines left out");
  EXPECT_TRUE(counted) << record.substr(record.size() - 2000);
  std::cout << kStorm << " connections in " << seconds << " s wrote " << Lines(record) << " lines, "
            << record.size() << " bytes\n";
}

// Whatever a name holds, it cannot start or end a line of the record, and
// two names stay two names there.
TEST(RelayServerTest, NamesGoIntoTheRecordEscaped) {
  test::TempDir dir;
  test::VideoRelay relay(dir);
  ASSERT_GT(relay.port(), 0);
  RawClient forger(relay.port()), nul(relay.port()), plain(relay.port());
  ASSERT_EQ(LogIn(forger, "x\nstopped by SIGINT, closing 9 connections"), kLoginAccepted);
  ASSERT_EQ(LogIn(nul, std::string("ab\0cd", 5)), kLoginAccepted);
  ASSERT_EQ(LogIn(plain, "ab"), kLoginAccepted);
  ASSERT_EQ(LogIn(forger, "tab\there\r\x7f\\"), kLoginAccepted);
  // A binding names both ends, and its slot state the binder.
  forger.Send(RelayType::kConnect, 1, "y\nstopped by SIGTERM");
  ASSERT_TRUE(forger.Next(RelayType::kUserState));
  const std::string record = relay.Record();
  std::istringstream lines(record);
  int plain_logins = 0;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_NE(line.rfind("stopped by", 0), 0u) << record;
    for (const char ch : line)
      EXPECT_FALSE(static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) << line;
    plain_logins += line == "login ab";
  }
  EXPECT_EQ(plain_logins, 1) << record;
  EXPECT_EQ(record.find('\0'), std::string::npos);
}

// A connection that takes another name in vain loses its own: its partner
// is told the link is gone, as after a log-out.
TEST(RelayServerTest, APartnerIsToldWhenItsPeerLosesItsName) {
  test::TempDir dir;
  test::VideoRelay relay(dir);
  ASSERT_GT(relay.port(), 0);
  RawClient alice(relay.port()), bob(relay.port()), carol(relay.port());
  ASSERT_EQ(LogIn(alice, "alice"), kLoginAccepted);
  ASSERT_EQ(LogIn(bob, "bob"), kLoginAccepted);
  ASSERT_EQ(LogIn(carol, "carol"), kLoginAccepted);
  Link(alice, "alice", bob, "bob");
  EXPECT_EQ(LogIn(alice, "carol"), kLoginNameHeld);
  auto state = bob.Next(RelayType::kUserState);
  ASSERT_TRUE(state);
  EXPECT_EQ(state->slot, 1);
  EXPECT_EQ(state->value, kSlotBound);
}

// Refusals that fall within a second of one another: each address is named
// and every refusal counted, the last of them at SIGTERM.
TEST(RelayServerTest, EveryRefusalIsCountedByTheStop) {
  test::TempDir dir;
  test::VideoRelay relay(dir, {.args = {"--max-connections", "1"}});
  ASSERT_GT(relay.port(), 0);
  RawClient holder(relay.port());
  ASSERT_EQ(LogIn(holder, "holder"), kLoginAccepted);
  constexpr int kRefused = 300;
  const char* sources[] = {"127.0.0.2", "127.0.0.3", "127.0.0.4"};
  for (int i = 0; i < kRefused; ++i) {
    RawClient c(relay.port(), 0, sources[i % 3]);
    ASSERT_TRUE(c.ClosedWithin(5)) << i;
  }
  kill(relay.pid(), SIGTERM);
  ASSERT_TRUE(Eventually([&] { return Contains(relay.Record(), "stopped by SIGTERM"); }));
  const std::string record = relay.Record();
  std::map<std::string, int> counted;
  std::istringstream lines(record);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("turned away ", 0) != 0) continue;
    const std::string address = line.substr(12, line.find(':') - 12);
    // The line that names it counts one; ", N more times" after it, or ",
    // N times" where its line was left out, count N.
    int n = 1;
    if (const size_t at = line.rfind(", "); at != std::string::npos && line.ends_with(" times"))
      n = std::atoi(line.c_str() + at + 2);
    counted[address] += n;
  }
  for (const char* source : sources) EXPECT_EQ(counted[source], kRefused / 3) << record;
  EXPECT_TRUE(Contains(record, "full; the places: 127.0.0.1 1")) << record;
}

// A frame that comes in slower than the idle time keeps its sender alive:
// every byte read counts as heard.
TEST(RelayServerTest, AFrameDrippedSlowerThanTheIdleTimeIsNotCutOff) {
  test::TempDir dir;
  test::VideoRelay relay(dir, {.args = {"--idle", "6"}});
  ASSERT_GT(relay.port(), 0);
  RawClient sender(relay.port()), partner(relay.port());
  ASSERT_EQ(LogIn(sender, "sender"), kLoginAccepted);
  ASSERT_EQ(LogIn(partner, "partner"), kLoginAccepted);
  Link(sender, "sender", partner, "partner");
  RelayMessage m;
  m.type = RelayType::kFrame;
  m.slot = 1;
  m.bytes.assign(900, 7);
  const std::vector<uint8_t> bytes = EncodeRelayMessage(m);
  // Ten pieces 0.8 s apart: the frame takes 8 s.
  for (size_t at = 0; at < bytes.size(); at += 91) {
    const auto end = bytes.begin() + static_cast<ptrdiff_t>(std::min(bytes.size(), at + 91));
    ASSERT_TRUE(sender.SendRaw({bytes.begin() + static_cast<ptrdiff_t>(at), end})) << at;
    partner.Send(RelayType::kKeepAlive);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
  }
  auto frame = partner.Next(RelayType::kFrame);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->bytes, m.bytes);
  EXPECT_FALSE(sender.ClosedWithin(0.2));
  EXPECT_FALSE(Contains(relay.Record(), "idle sender")) << relay.Record();
}

// Out of descriptors, the relay rests rather than spins, says so once, and
// answers the waiting connections once descriptors are free again.
TEST(RelayServerTest, OutOfDescriptorsItRestsAndAnswersOnceTheyAreFree) {
  test::TempDir dir;
  test::VideoRelay relay(dir, {.args = {"--max-per-address", "100"}, .max_files = 20});
  ASSERT_GT(relay.port(), 0);
  // More connections than it has descriptors for: the last ones wait.
  std::vector<std::unique_ptr<RawClient>> held;
  for (int i = 0; i < 20; ++i) held.push_back(std::make_unique<RawClient>(relay.port()));
  ASSERT_EQ(LogIn(*held[0], "first"), kLoginAccepted);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const double cpu_before = test::ProcessCpuSeconds(relay.pid());
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const double cpu = test::ProcessCpuSeconds(relay.pid()) - cpu_before;
  EXPECT_LT(cpu, 0.5) << "a spinning relay takes the whole 2 s";
  // Said once, not at every attempt.
  const std::string errors = relay.Errors();
  EXPECT_TRUE(Contains(errors, "out of descriptors")) << errors;
  EXPECT_EQ(errors.find("out of descriptors"), errors.rfind("out of descriptors")) << errors;

  // Freed descriptors: the waiting connections and a new one are answered.
  // Three quarters go, so there is room whatever descriptors the relay
  // inherited from the test's runner.
  for (int i = 0; i < 15; ++i) held[static_cast<size_t>(i)]->Close();
  EXPECT_EQ(LogIn(*held.back(), "waited"), kLoginAccepted);
  RawClient late(relay.port());
  EXPECT_EQ(LogIn(late, "late"), kLoginAccepted) << relay.Record() << relay.Errors();
}

TEST(RelayServerTest, HelpPrintsTheUsage) {
  FILE* out = popen(SLVN_VIDEO_RELAY " --help 2>&1", "r");
  ASSERT_TRUE(out);
  std::string text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, n);
  const int status = pclose(out);
  EXPECT_EQ(status, 0) << text;
  EXPECT_TRUE(Contains(text, "usage: slvn-video-relay")) << text;
  EXPECT_TRUE(Contains(text, "--idle SECONDS")) << text;
}

}  // namespace
}  // namespace slvn
