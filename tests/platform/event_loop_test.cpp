#include "platform/event_loop.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/timer.h"

namespace slvn {
namespace {

struct Fired {
  std::string name;
  double at;
  bool operator==(const Fired&) const = default;
};

class ManualLoopTest : public ::testing::Test {
 protected:
  ManualClock clock;
  EventLoop loop{clock};
  std::vector<Fired> log;

  auto Record(std::string name) {
    return [this, name] { log.push_back({name, clock.Now()}); };
  }
};

TEST_F(ManualLoopTest, TimersFireInTimeOrderAndOnlyWhileEnabled) {
  Timer a(loop, Record("a")), b(loop, Record("b")), off(loop, Record("off")),
      zero(loop, Record("0"));
  a.SetInterval(30);
  b.SetInterval(50);
  off.SetInterval(10);    // never enabled: every timer starts disabled
  zero.SetEnabled(true);  // enabled with interval 0: never fires
  a.SetEnabled(true);
  b.SetEnabled(true);
  loop.RunFor(0.1);
  std::vector<Fired> want = {{"a", 0.03}, {"b", 0.05}, {"a", 0.06}, {"a", 0.09}, {"b", 0.1}};
  ASSERT_EQ(log.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(log[i].name, want[i].name) << i;
    EXPECT_NEAR(log[i].at, want[i].at, 1e-9) << i;
  }
  EXPECT_NEAR(clock.Now(), 0.1, 1e-9);
}

TEST_F(ManualLoopTest, SwitchingOnOrChangingTheIntervalRestartsTheCount) {
  Timer t(loop, Record("t"));
  t.SetInterval(100);
  t.SetEnabled(true);
  loop.RunFor(0.08);
  t.SetEnabled(false);
  t.SetEnabled(true);  // off and on again at 0.08: next at 0.18
  loop.RunFor(0.05);
  t.SetEnabled(true);  // already on: no restart
  loop.RunFor(0.06);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NEAR(log[0].at, 0.18, 1e-9);
  t.SetInterval(40);  // at 0.19: next at 0.23
  loop.RunFor(0.05);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_NEAR(log[1].at, 0.23, 1e-9);
}

TEST_F(ManualLoopTest, NestedWaitLetsOtherTimersSocketsAndPostsRun) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  Timer ticker(loop, Record("tick"));
  ticker.SetInterval(50);
  bool socket_seen = false, posted_ran = false;
  loop.Watch(fds[0], POLLIN, [&](short) {
    char c;
    ASSERT_EQ(read(fds[0], &c, 1), 1);
    socket_seen = true;
  });
  Timer waiter(loop);
  waiter.SetHandler([&] {
    waiter.SetEnabled(false);
    log.push_back({"wait-start", clock.Now()});
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    loop.Post([&] { posted_ran = true; });
    loop.WaitSeconds(0.2);
    log.push_back({"wait-end", clock.Now()});
  });
  waiter.SetInterval(100);
  ticker.SetEnabled(true);
  waiter.SetEnabled(true);
  loop.RunFor(0.35);

  std::vector<std::string> names;
  for (auto& f : log) names.push_back(f.name);
  // The ticker keeps its cadence inside the wait; the wait ends after 0.2 s.
  EXPECT_EQ(names, (std::vector<std::string>{"tick", "wait-start", "tick", "tick", "tick", "tick",
                                             "tick", "wait-end", "tick"}));
  EXPECT_NEAR(log[7].at, 0.3, 1e-9);
  EXPECT_TRUE(socket_seen);
  EXPECT_TRUE(posted_ran);
  close(fds[0]);
  close(fds[1]);
}

// A wait ends only when the clock has moved past its end: one of no time
// dispatches what is pending and returns with the clock moved on.
TEST_F(ManualLoopTest, AWaitOfNoTimeLastsUntilTheClockMoves) {
  for (double seconds : {0.0, 0.05}) {
    bool posted_ran = false;
    loop.Post([&] { posted_ran = true; });
    const double start = clock.Now();
    loop.WaitSeconds(seconds);
    EXPECT_TRUE(posted_ran) << seconds;
    EXPECT_GT(clock.Now(), start + seconds) << seconds;
    EXPECT_NEAR(clock.Now(), start + seconds, 1e-9) << seconds;
  }
}

TEST_F(ManualLoopTest, SleepPresentsThenBlocksWithoutDispatching) {
  Timer ticker(loop, Record("tick"));
  ticker.SetInterval(50);
  int presented = 0;
  loop.SetPresentHook([&] { ++presented; });
  bool posted_ran = false;
  Timer sleeper(loop);
  sleeper.SetHandler([&] {
    sleeper.SetEnabled(false);
    loop.Post([&] { posted_ran = true; });
    double before = clock.Now();
    size_t ticks_before = log.size();
    loop.SleepSeconds(0.3);
    EXPECT_NEAR(clock.Now() - before, 0.3, 1e-9);
    EXPECT_EQ(log.size(), ticks_before);
    EXPECT_FALSE(posted_ran);
  });
  sleeper.SetInterval(10);
  sleeper.SetEnabled(true);
  ticker.SetEnabled(true);
  loop.RunFor(0.4);
  EXPECT_EQ(presented, 1);
  EXPECT_TRUE(posted_ran);
  // After the sleep the overdue ticker fires once, then keeps its cadence.
  ASSERT_GE(log.size(), 2u);
  EXPECT_NEAR(log[0].at, 0.31, 1e-9);
  EXPECT_NEAR(log[1].at, 0.36, 1e-9);
}

TEST_F(ManualLoopTest, TimerMayDestroyItselfOrOthersInItsHandler) {
  auto self = std::make_unique<Timer>(loop);
  auto other = std::make_unique<Timer>(loop, Record("other"));
  self->SetHandler([&] {
    other.reset();
    self.reset();
  });
  self->SetInterval(10);
  other->SetInterval(10);
  self->SetEnabled(true);
  other->SetEnabled(true);
  loop.RunFor(0.1);
  EXPECT_TRUE(log.empty());
}

TEST(RealLoopTest, WaitUntilWakesOnSocketDataAndWaitsLastTheirTime) {
  SteadyClock clock;
  EventLoop loop(clock);
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  bool readable = false;
  loop.Watch(fds[0], POLLIN, [&](short) { readable = true; });
  EXPECT_FALSE(loop.WaitUntil([&] { return readable; }, 0.05));
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  EXPECT_TRUE(loop.WaitUntil([&] { return readable; }, 5.0));

  double start = clock.Now();
  loop.WaitSeconds(0.03);
  EXPECT_GE(clock.Now() - start, 0.03);
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
}  // namespace slvn
