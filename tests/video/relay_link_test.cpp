#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "platform/event_loop.h"
#include "platform/tcp_socket.h"
#include "support/temp_dir.h"
#include "support/video_relay.h"
#include "video/relay_protocol.h"
#include "video/video_controls.h"

namespace slvn {
namespace {

// Two clients' links on one loop, with the real relay between them.
class RelayLinkTest : public ::testing::Test {
 protected:
  struct Side {
    std::unique_ptr<P2PSocket> link;
    std::vector<int16_t> login_states;
    std::vector<std::pair<int, int16_t>> user_states;
    std::vector<std::pair<int, VideoFrame>> frames;
  };

  void SetUp() override {
    ASSERT_GT(relay.port(), 0);
    for (Side* s : {&alice, &bob}) {
      s->link = MakeRelayLink(loop, relay.port());
      s->link->ServerAddress = "127.0.0.1";
      s->link->ServerPort = 1;  // replaced by the port given above
      s->link->UserCount = 3;
      s->link->LoginStateChanged = [s](int16_t st) { s->login_states.push_back(st); };
      s->link->UserStateChanged = [s](int slot, int16_t st) {
        s->user_states.push_back({slot, st});
      };
      s->link->FrameArrived = [s](int slot, const VideoFrame& f) {
        s->frames.push_back({slot, f});
      };
    }
  }

  bool Until(const std::function<bool()>& done) { return loop.WaitUntil(done, 5.0); }

  // Real time passes for the relay while the links' clock runs ten times
  // faster, their keep-alives included.
  bool Live(const std::function<bool()>& done, double real_seconds) {
    for (int i = 0; i < real_seconds / 0.5 && !done(); ++i) {
      loop.RunFor(kKeepAliveSeconds);
      loop.WaitUntil(done, 0.5);
    }
    return done();
  }

  void Link() {
    alice.link->LoginServer("alice");
    bob.link->LoginServer("bob");
    alice.link->ConnectUser(2, "bob");
    bob.link->ConnectUser(1, "alice");
    EXPECT_EQ(alice.link->UserState(2), kSlotBound);  // bound at once, linked later
    ASSERT_TRUE(
        Until([&] { return alice.link->UserState(2) == 15 && bob.link->UserState(1) == 15; }));
    // The events follow on a later pass of the loop.
    ASSERT_TRUE(Until([&] { return Saw(alice, 2, 15) && Saw(bob, 1, 15); }));
  }

  static bool Saw(const Side& s, int slot, int16_t state) {
    const std::pair<int, int16_t> wanted{slot, state};
    return std::find(s.user_states.begin(), s.user_states.end(), wanted) != s.user_states.end();
  }

  test::TempDir dir;
  // The shortest idle time (above the keep-alive): a silent connection is
  // let go within the test.
  test::VideoRelay relay{dir, {.args = {"--idle", "6"}, .max_files = 0}};
  ManualClock clock;
  EventLoop loop{clock};
  Side alice, bob;
};

TEST_F(RelayLinkTest, LinkedPeersGetEachOthersFramesUnchangedUnderTheirOwnSlot) {
  Link();
  EXPECT_EQ(alice.login_states, std::vector<int16_t>{2});
  EXPECT_TRUE(Saw(alice, 2, 15));
  const VideoFrame frame = MakeTestPatternBmp(32, 24, 3);
  alice.link->SendFrame(2, frame);
  bob.link->SendFrame(1, MakeTestPatternBmp(8, 8, 1));
  ASSERT_TRUE(Until([&] { return !bob.frames.empty() && !alice.frames.empty(); }));
  EXPECT_EQ(bob.frames[0].first, 1);
  EXPECT_EQ(bob.frames[0].second, frame);
  EXPECT_EQ(alice.frames[0].first, 2);
  EXPECT_NE(relay.Record().find("state alice 2 15"), std::string::npos) << relay.Record();
  // The frames are summed up in the record when alice logs out.
  alice.link->LogoutServer();
  const std::string summary = "frames alice bob: 1 passed on, " + std::to_string(frame.size());
  EXPECT_TRUE(Until([&] { return relay.Record().find(summary) != std::string::npos; }))
      << relay.Record();
}

TEST_F(RelayLinkTest, DropAndLogoutLowerThePeersStateAndEmptyFramesStayHome) {
  Link();
  alice.link->SendFrame(2, {});
  alice.link->DropUser(2);
  EXPECT_EQ(alice.link->UserState(2), 0);
  EXPECT_EQ(alice.link->UserID(2), "");
  ASSERT_TRUE(Until([&] { return bob.link->UserState(1) == kSlotBound; }));
  alice.link->ConnectUser(2, "bob");
  ASSERT_TRUE(Until([&] { return bob.link->UserState(1) == 15; }));
  bob.link->LogoutServer();
  ASSERT_TRUE(Until([&] { return alice.link->UserState(2) == kSlotBound; }));
  // Her frame summary, written as she logs out, has no frame to bob.
  alice.link->LogoutServer();
  ASSERT_TRUE(Until([&] { return relay.Record().find("logout alice") != std::string::npos; }));
  EXPECT_EQ(relay.Record().find("frames alice bob"), std::string::npos) << relay.Record();
}

TEST_F(RelayLinkTest, BadFramesAndOversizeMessagesNeverArrive) {
  Link();
  // A raw connection that logs in as carol and sends bob rubbish.
  TcpSocket carol(loop);
  ASSERT_TRUE(carol.Connect("127.0.0.1", static_cast<uint16_t>(relay.port())));
  ASSERT_TRUE(Until([&] { return carol.State() == TcpSocket::kConnected; }));
  auto send = [&](RelayType type, uint8_t slot, std::string name, VideoFrame bytes) {
    RelayMessage m;
    m.type = type;
    m.slot = slot;
    m.name = std::move(name);
    m.bytes = std::move(bytes);
    carol.SendData(EncodeRelayMessage(m));
  };
  send(RelayType::kLogin, 0, "carol", {});
  send(RelayType::kConnect, 1, "bob", {});
  bob.link->ConnectUser(3, "carol");
  ASSERT_TRUE(Until([&] { return bob.link->UserState(3) == 15; }));
  VideoFrame bad = MakeTestPatternBmp(8, 8, 0);
  bad[28] = 8;  // 8 bits a pixel
  send(RelayType::kFrame, 1, "", bad);
  // Over the limit: the relay closes carol's connection; bob's link falls back.
  const uint32_t n = kMaxRelayMessage + 1;
  const uint8_t oversize[] = {static_cast<uint8_t>(n >> 24),
                              static_cast<uint8_t>(n >> 16),
                              static_cast<uint8_t>(n >> 8),
                              static_cast<uint8_t>(n),
                              8,
                              1};
  carol.SendData(oversize);
  ASSERT_TRUE(Until([&] { return bob.link->UserState(3) == kSlotBound; }));
  EXPECT_TRUE(bob.frames.empty());
  EXPECT_NE(relay.Record().find("oversize carol"), std::string::npos);
  // alice and bob stay linked.
  alice.link->SendFrame(2, MakeTestPatternBmp(8, 8, 2));
  ASSERT_TRUE(Until([&] { return !bob.frames.empty(); }));
  EXPECT_EQ(bob.frames[0].first, 1);
}

TEST_F(RelayLinkTest, MessagesWaitForTheConnectionAndASecondLoginKeepsTheSlots) {
  // Sent while connecting: they wait and go out once connected.
  alice.link->LoginServer("alice");
  alice.link->ConnectUser(1, "bob");
  bob.link->LoginServer("bob");
  bob.link->ConnectUser(1, "alice");
  ASSERT_TRUE(Until([&] { return alice.link->UserState(1) == 15; }));
  // A second login keeps the slots.
  alice.link->LoginServer("alice");
  EXPECT_EQ(alice.link->UserID(1), "bob");
  ASSERT_TRUE(Until([&] { return alice.login_states.size() == 2; }));
  EXPECT_EQ(alice.link->UserState(1), 15);
  // A slot beyond UserCount is never bound.
  alice.link->UserCount = 2;
  alice.link->ConnectUser(3, "carol");
  EXPECT_EQ(alice.link->UserID(3), "");
}

TEST_F(RelayLinkTest, ANameHeldElsewhereIsTakenOnceFreeAndKeepAlivesHoldIt) {
  // A connection left over from alice's last run holds her name, then falls silent.
  TcpSocket stale(loop);
  ASSERT_TRUE(stale.Connect("127.0.0.1", static_cast<uint16_t>(relay.port())));
  ASSERT_TRUE(Until([&] { return stale.State() == TcpSocket::kConnected; }));
  RelayMessage login;
  login.type = RelayType::kLogin;
  login.name = "alice";
  stale.SendData(EncodeRelayMessage(login));
  ASSERT_TRUE(Until([&] { return relay.Record().find("login alice") != std::string::npos; }));

  alice.link->LoginServer("alice");
  alice.link->ConnectUser(2, "bob");
  bob.link->LoginServer("bob");
  bob.link->ConnectUser(1, "alice");
  ASSERT_TRUE(Until([&] { return !alice.login_states.empty(); }));
  EXPECT_EQ(alice.login_states[0], kLoginNameHeld);
  // Once the relay lets the silent one go, alice's link logs in again and
  // binds its slot; bob's keep-alives hold his name all the while.
  ASSERT_TRUE(
      Live([&] { return alice.link->UserState(2) == 15 && bob.link->UserState(1) == 15; }, 12));
  // The event follows on a later pass of the loop.
  EXPECT_TRUE(Until([&] { return alice.login_states.back() == kLoginAccepted; }));
  Live([] { return false; }, 4);
  const std::string record = relay.Record();
  EXPECT_NE(record.find("idle alice"), std::string::npos) << record;
  EXPECT_EQ(record.find("idle alice"), record.rfind("idle alice")) << record;
  EXPECT_EQ(record.find("idle bob"), std::string::npos) << record;
  EXPECT_EQ(alice.link->UserState(2), 15);
}

// A relay that links the slot and then stops reading: the link drops frames
// and keeps the control messages, in order.
TEST_F(RelayLinkTest, AgainstARelayThatStopsReadingFramesGoAndControlMessagesStay) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int small = 16384;
  setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), len), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  auto link = MakeRelayLink(loop, ntohs(addr.sin_port));
  link->ServerAddress = "127.0.0.1";
  link->UserCount = 3;
  link->LoginServer("alice");
  link->ConnectUser(1, "bob");
  const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  close(listener);
  ASSERT_GE(fd, 0);
  const timeval wait{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  RelayMessage accepted, linked;
  accepted.type = RelayType::kLoginState;
  accepted.value = kLoginAccepted;
  linked.type = RelayType::kUserState;
  linked.slot = 1;
  linked.value = kSlotLinked;
  std::vector<uint8_t> bytes = EncodeRelayMessage(accepted);
  const auto more = EncodeRelayMessage(linked);
  bytes.insert(bytes.end(), more.begin(), more.end());
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ASSERT_TRUE(Until([&] { return link->UserState(1) == 15; }));

  constexpr int kFrames = 200;
  const VideoFrame frame = MakeTestPatternBmp(320, 240, 0);
  for (int i = 0; i < kFrames; ++i) {
    link->SendFrame(1, frame);
    loop.RunFor(0.1);
  }
  link->SendParam(1, 7);
  link->DropUser(1);
  // Now it reads everything, while the link's loop goes on.
  RelayReader reader;
  int frames = 0;
  std::vector<RelayType> after;
  bool dropped = false;
  for (int round = 0; round < 2000 && !dropped; ++round) {
    loop.RunFor(0.01);
    uint8_t buffer[65536];
    const ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0) break;
    if (n > 0) reader.Feed({buffer, static_cast<size_t>(n)});
    while (auto m = reader.Next()) {
      if (m->type == RelayType::kFrame) {
        ++frames;
        after.clear();
      } else if (m->type != RelayType::kKeepAlive) {
        after.push_back(m->type);
      }
      dropped = m->type == RelayType::kDrop;
    }
  }
  close(fd);
  EXPECT_LT(frames, kFrames / 4);
  EXPECT_EQ(after, (std::vector<RelayType>{RelayType::kParam, RelayType::kDrop}));
}

}  // namespace
}  // namespace slvn
