// The video relay under clients that misbehave: each test runs the real
// relay on the loopback address and talks to it over plain sockets.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <iostream>
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

// One blocking connection to the relay; every wait is bounded.
class RawClient {
 public:
  explicit RawClient(int port, int receive_buffer = 0) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receive_buffer > 0)
      setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) Close();
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
int16_t LogIn(RawClient& c, const std::string& name) {
  c.Send(RelayType::kLogin, 0, name);
  auto answer = c.Next(RelayType::kLoginState);
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
  // The parameter went after the last frame: every frame that arrives came
  // before it, the last of them the newest.
  int frames = 0, last = 0;
  for (;;) {
    auto m = slow.Next(RelayType::kFrame, 0.5);
    if (!m) break;
    ++frames;
    last = m->bytes.at(0);
  }
  EXPECT_LT(frames, kFrames / 2);
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
  const std::string record = relay.Record();
  EXPECT_TRUE(Contains(record, "dropped sender slow")) << record;
  EXPECT_TRUE(Contains(record, "behind flood")) << record;
  EXPECT_FALSE(Contains(record, "behind slow")) << record;
}

TEST(RelayServerTest, ALoginIsAnsweredPromptlyWhileAnotherConnectionFloods) {
  test::TempDir dir;
  test::VideoRelay relay(dir);
  ASSERT_GT(relay.port(), 0);
  RawClient flood(relay.port());
  ASSERT_EQ(LogIn(flood, "flood"), kLoginAccepted);
  // A stream of keep-alives and unlinked parameters, as fast as it goes,
  // for at most 10 s.
  std::vector<uint8_t> burst;
  for (int i = 0; i < 4096; ++i) {
    RelayMessage m;
    m.type = i % 2 ? RelayType::kKeepAlive : RelayType::kParam;
    m.slot = 2;
    const auto bytes = EncodeRelayMessage(m);
    burst.insert(burst.end(), bytes.begin(), bytes.end());
  }
  std::atomic<bool> stop = false;
  std::thread flooder([&] {
    const double end = Now() + 10;
    while (!stop && Now() < end && flood.SendRaw(burst)) {
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::vector<double> waits;
  for (int i = 0; i < 3; ++i) {
    RawClient c(relay.port());
    const double start = Now();
    EXPECT_EQ(LogIn(c, "player" + std::to_string(i)), kLoginAccepted);
    waits.push_back(Now() - start);
  }
  stop = true;
  flooder.join();
  for (double w : waits) {
    EXPECT_LT(w, 1.0);
    std::cout << "login answered in " << w * 1000 << " ms under the flood\n";
  }
}

TEST(RelayServerTest, OutOfDescriptorsItRestsAndAnswersOnceTheyAreFree) {
  test::TempDir dir;
  test::VideoRelay relay(dir, {.args = {}, .max_files = 20});
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
  for (int i = 0; i < 10; ++i) held[static_cast<size_t>(i)]->Close();
  EXPECT_EQ(LogIn(*held.back(), "waited"), kLoginAccepted);
  RawClient late(relay.port());
  EXPECT_EQ(LogIn(late, "late"), kLoginAccepted);
}

TEST(RelayServerTest, ConnectionsPastTheLimitAreClosedAtOnce) {
  test::TempDir dir;
  test::VideoRelay relay(dir, {.args = {"--max-connections", "2"}});
  ASSERT_GT(relay.port(), 0);
  RawClient a(relay.port()), b(relay.port());
  ASSERT_EQ(LogIn(a, "a"), kLoginAccepted);
  ASSERT_EQ(LogIn(b, "b"), kLoginAccepted);
  RawClient c(relay.port());
  EXPECT_TRUE(c.ClosedWithin(5));
  a.Close();
  ASSERT_TRUE(Eventually([&] { return Contains(relay.Record(), "gone a"); }));
  RawClient d(relay.port());
  EXPECT_EQ(LogIn(d, "d"), kLoginAccepted);
}

TEST(RelayServerTest, ALiveConnectionKeepsItsNameAndASilentOneLosesIt) {
  test::TempDir dir;
  test::VideoRelay relay(dir, {.args = {"--idle", "1"}});
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
  EXPECT_TRUE(alice.ClosedWithin(3));
  RawClient again(relay.port());
  EXPECT_EQ(LogIn(again, "alice"), kLoginAccepted);
  EXPECT_TRUE(Contains(relay.Record(), "idle alice")) << relay.Record();
}

TEST(RelayServerTest, ListensWhereItIsTold) {
  const struct {
    const char* listen;
    int family;  // 0: refused
  } cases[] = {
      {"127.0.0.1:0", AF_INET}, {"[::1]:0", AF_INET6}, {"localhost:0", 0}, {"127.0.0.1:99999", 0},
      {"127.0.0.1:x", 0},       {"[::1", 0},           {"[::1]0", 0},      {"", 0},
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

}  // namespace
}  // namespace slvn
