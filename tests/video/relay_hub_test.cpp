// The video relay's bookkeeping on a clock of the test's own: what its record
// counts at the summaries and at the stop, and what it gives back, whatever
// the record's allowance and the connections do.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "video/relay_hub.h"
#include "video/relay_protocol.h"

namespace slvn {
namespace {

constexpr size_t kFrameBytes = 200 * 1024;

class RelayHubTest : public ::testing::Test {
 protected:
  RelayHubTest() { Start({}); }
  void Start(const RelayHub::Limits& limits) {
    hub_ = std::make_unique<RelayHub>(limits,
                                      [this](const std::string& line) { record_.push_back(line); });
  }

  void Say(int id, RelayType type, uint8_t slot = 0, const std::string& name = {},
           size_t bytes = 0) {
    RelayMessage m;
    m.type = type;
    m.slot = slot;
    m.name = name;
    m.bytes.assign(bytes, 0x5a);
    hub_->Received(id, EncodeRelayMessage(m), now_);
  }
  void Frame(int id, size_t bytes = kFrameBytes) { Say(id, RelayType::kFrame, 1, {}, bytes); }

  // Opens two connections logged in as a and b with their first slots
  // bound to each other.
  void OpenPair(int a_id, const std::string& a, int b_id, const std::string& b) {
    ASSERT_TRUE(hub_->Open(a_id, "192.0.2.1", now_));
    ASSERT_TRUE(hub_->Open(b_id, "192.0.2.1", now_));
    Say(a_id, RelayType::kLogin, 0, a);
    Say(b_id, RelayType::kLogin, 0, b);
    Say(a_id, RelayType::kConnect, 1, b);
    Say(b_id, RelayType::kConnect, 1, a);
  }

  // Takes everything queued for the connection; returns the frames in it.
  int Drain(int id) {
    RelayReader reader;
    for (auto bytes = hub_->Pending(id); !bytes.empty(); bytes = hub_->Pending(id)) {
      reader.Feed(bytes);
      hub_->Sent(id, bytes.size());
    }
    int frames = 0;
    while (auto m = reader.Next()) frames += m->type == RelayType::kFrame;
    return frames;
  }

  bool Has(const std::string& part) const {
    for (const std::string& line : record_)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
  std::string Record() const {
    std::string all;
    for (const std::string& line : record_) all += line + "\n";
    return all;
  }

  // The frames lines that start with the head, added up: "passed on" and
  // "dropped".
  std::pair<int, int> Frames(const std::string& head) const {
    int passed = 0, dropped = 0;
    for (const std::string& line : record_) {
      if (line.rfind(head, 0) != 0) continue;
      int p = 0, d = 0;
      long bytes = 0;
      if (std::sscanf(line.c_str() + head.size(), "%d passed on, %ld bytes, %d dropped", &p, &bytes,
                      &d) != 3)
        continue;
      passed += p;
      dropped += d;
    }
    return {passed, dropped};
  }

  // The refusals the record gives each address: its first line counts one,
  // ", N more times" N more, ", N times" N.
  std::map<std::string, int> Refused() const {
    std::map<std::string, int> counted;
    for (const std::string& line : record_) {
      if (line.rfind("turned away ", 0) != 0) continue;
      const std::string address = line.substr(12, line.find(':') - 12);
      int n = 1;
      if (size_t at = line.rfind(", "); at != std::string::npos && line.ends_with(" times"))
        n = std::atoi(line.c_str() + at + 2);
      counted[address] += n;
    }
    return counted;
  }

  std::unique_ptr<RelayHub> hub_;
  std::vector<std::string> record_;
  double now_ = 1;
};

RelayHub::Limits SmallRelay(size_t places) {
  RelayHub::Limits limits;
  limits.max_connections = places;
  limits.max_per_address = places;
  return limits;
}

// The allowance of 500 lines used up by connections that log in and go, a
// quiet spell, then the stop: the pair's frames and the refusals are there.
TEST_F(RelayHubTest, TheStopWritesTheCountsAfterAQuietSpellWithTheAllowanceUsedUp) {
  Start(SmallRelay(3));
  OpenPair(1, "a", 2, "b");
  Frame(1);
  ASSERT_EQ(Drain(2), 1);
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(hub_->Open(3, "192.0.2.1", now_));
    Say(3, RelayType::kLogin, 0, "visitor" + std::to_string(i));
    hub_->MarkClosing(3);
    hub_->Sweep();
  }
  ASSERT_GE(record_.size(), 500u) << "the allowance is not used up";
  ASSERT_TRUE(hub_->Open(3, "192.0.2.1", now_));
  for (int i = 0; i < 6; ++i) EXPECT_FALSE(hub_->Open(4, "192.0.2.7", now_));
  now_ += 3;
  hub_->Summarize(now_);
  EXPECT_EQ(Frames("frames a b: "), std::make_pair(1, 0)) << Record();
  EXPECT_EQ(Refused()["192.0.2.7"], 6) << Record();
}

// Frames are counted as they go or are dropped: one replaced after the
// summary that saw it queued, and one a closing receiver never got, count
// as dropped.
TEST_F(RelayHubTest, AFrameCountsOnceWhenItIsSentOrDropped) {
  OpenPair(1, "a", 2, "b");
  Frame(1);
  now_ = 12;
  hub_->Expire(now_);  // a summary while the frame waits
  Frame(1);            // replaces it
  EXPECT_EQ(Drain(2), 1);
  Frame(1);
  hub_->MarkClosing(2);
  hub_->Sweep();
  hub_->Summarize(now_);
  EXPECT_EQ(Frames("frames a b: "), std::make_pair(1, 2)) << Record();
}

// A full relay turns 80 addresses away ten times each within a second, far
// past the record's lines a second: the summary gives each of the first 64
// its count, and the rest together.
TEST_F(RelayHubTest, EveryRefusedAddressIsCountedThroughAStorm) {
  RelayHub::Limits limits = SmallRelay(40);
  limits.record_lines_per_second = 2;
  limits.record_burst = 8;
  Start(limits);
  for (int id = 0; id < 40; ++id) ASSERT_TRUE(hub_->Open(id, "192.0.2.1", now_));
  for (int round = 0; round < 10; ++round)
    for (int a = 0; a < 80; ++a)
      EXPECT_FALSE(hub_->Open(100, "198.51.100." + std::to_string(a), now_));
  now_ = 12;
  hub_->Expire(now_);
  const auto counted = Refused();
  int named = 0;
  for (const auto& [address, n] : counted) {
    if (address == "from other addresses") continue;
    EXPECT_EQ(n, 10) << address << "\n" << Record();
    ++named;
  }
  EXPECT_EQ(named, 64) << Record();
  EXPECT_TRUE(Has("turned away from other addresses: full, 160 times")) << Record();
}

// One connection switching names a thousand times a second, each time
// after a frame to its partner, for 1.5 s: another's log-in still gets its
// line.
TEST_F(RelayHubTest, OneConnectionsNameSwitchingLeavesRoomForAnothersLogIn) {
  OpenPair(1, "a", 2, "b");
  for (; now_ < 2.5; now_ += 0.001) {
    Frame(1, 1000);
    Drain(2);
    Say(1, RelayType::kLogin, 0, "a2");
    Say(1, RelayType::kLogin, 0, "a");
    Say(1, RelayType::kConnect, 1, "b");
    Say(2, RelayType::kKeepAlive);
    hub_->Expire(now_);
  }
  // Between two of its log-ins.
  Frame(1, 1000);
  Drain(2);
  Say(1, RelayType::kLogin, 0, "a2");
  ASSERT_TRUE(hub_->Open(3, "192.0.2.3", now_));
  Say(3, RelayType::kLogin, 0, "c");
  EXPECT_TRUE(Has("login c")) << Record().substr(0, 3000);
}

// After a stream of frames everyone goes: the relay wakes on its own to
// give the spare frame buffers back and to write the lines it left out.
TEST_F(RelayHubTest, SparesGoAndTheLeftOutCountIsWrittenWhileNobodyIsConnected) {
  RelayHub::Limits limits;
  limits.record_lines_per_second = 1;
  limits.record_burst = 2;
  Start(limits);
  OpenPair(1, "a", 2, "b");
  for (int i = 0; i < 5; ++i) {
    Frame(1);
    Drain(2);
  }
  hub_->MarkClosing(1);
  hub_->MarkClosing(2);
  hub_->Sweep();
  ASSERT_GT(hub_->Held(), 0u);
  record_.clear();
  for (int wakes = 0; wakes < 1000 && (hub_->Held() > 0 || !Has("lines left out")); ++wakes) {
    const double next = hub_->NextExpiry();
    ASSERT_TRUE(std::isfinite(next)) << hub_->Held() << " bytes held, nothing due";
    now_ = std::max(now_, next);
    hub_->Expire(now_);
  }
  EXPECT_EQ(hub_->Held(), 0u);
  EXPECT_TRUE(Has("record: ")) << Record();
  EXPECT_LT(now_, 30);
}

// Twelve frames waiting at once, then one at a time for two summaries: the
// buffers past the smaller room go back in the trim's steps, never one as
// a frame goes out (unmapping them on the frame path held frames up).
TEST_F(RelayHubTest, SparesPastTheRoomGoBackInStepsNotAsFramesGoOut) {
  RelayHub::Limits limits;
  limits.summary_seconds = 1;
  limits.max_per_address = 32;
  Start(limits);
  const std::string names = "abcdefghijklmnopqrstuvwxyz";
  for (int k = 0; k < 12; ++k)
    OpenPair(2 * k + 1, names.substr(2 * k, 1), 2 * k + 2, names.substr(2 * k + 1, 1));
  for (int k = 0; k < 12; ++k) Frame(2 * k + 1);
  for (int k = 0; k < 12; ++k) ASSERT_EQ(Drain(2 * k + 2), 1);
  for (int summaries = 0; summaries < 2; ++summaries) {
    now_ += 1;
    Frame(1);
    Drain(2);
    hub_->Expire(now_);
  }
  const size_t held = hub_->Held();
  for (int i = 0; i < 10; ++i) {
    Frame(1);
    ASSERT_EQ(Drain(2), 1);
  }
  EXPECT_GT(hub_->Held() + kFrameBytes, held) << "a buffer went back as a frame went out";
  for (int step = 0; step < 10; ++step) {
    const size_t before = hub_->Held();
    now_ += 0.05;
    hub_->Expire(now_);
    EXPECT_LT(before, hub_->Held() + 3 * kFrameBytes) << "more than two buffers in one step";
  }
  EXPECT_LT(hub_->Held() + 3 * kFrameBytes, held) << "the spares past the room stayed";
}

}  // namespace
}  // namespace slvn
