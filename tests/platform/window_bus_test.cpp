#include "platform/window_bus.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

namespace slvn {
namespace {

// Each test has a bus of its own, so tests may run side by side.
std::string TestNamespace() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string("test-") + std::to_string(getpid()) + "-" + info->name();
}

class WindowBusTest : public ::testing::Test {
 protected:
  WindowBus bus{TestNamespace()};
  ManualClock clock;
  EventLoop loop{clock};
};

TEST_F(WindowBusTest, FindsListeningWindowsByTitleOnly) {
  EXPECT_EQ(bus.FindWindow("Corvald山庄"), 0);
  {
    BusWindow lobby(loop, bus, "Corvald山庄", nullptr);
    ASSERT_TRUE(lobby.Listening());
    EXPECT_NE(bus.FindWindow("Corvald山庄"), 0);
    EXPECT_EQ(bus.FindWindow("Corvald"), 0);
    EXPECT_EQ(bus.FindWindow("   "), 0);
    BusWindow second(loop, bus, "Corvald山庄", nullptr);  // a second copy cannot take the title
    EXPECT_FALSE(second.Listening());
    WindowBus other(bus.Namespace() + "-other");
    EXPECT_EQ(other.FindWindow("Corvald山庄"), 0);
  }
  EXPECT_EQ(bus.FindWindow("Corvald山庄"), 0);  // gone with its owner
}

TEST_F(WindowBusTest, PostedMessagesArriveInOrderWhenTheLoopRuns) {
  std::vector<WindowMessage> got;
  BusWindow client(loop, bus, "client", [&](const WindowMessage& m) {
    got.push_back(m);
    return 0;
  });
  WindowHandle h = bus.FindWindow("client");
  ASSERT_NE(h, 0);
  EXPECT_TRUE(bus.PostMessage(h, {0x465, 0, 0}));
  EXPECT_TRUE(bus.PostMessage(h, {kWmSysCommand, kScRestore, 7}));
  EXPECT_TRUE(got.empty());  // nothing runs until the loop does
  loop.RunFor(0.01);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].msg, 0x465u);
  EXPECT_EQ(got[1].wparam, kScRestore);
  EXPECT_EQ(got[1].lparam, 7);
  EXPECT_FALSE(bus.PostMessage(12345, {0x16, 0, 0}));  // a handle never found
}

TEST_F(WindowBusTest, SendWaitsForTheAnswerAndTimesOutOnASilentWindow) {
  std::atomic<bool> stop{false};
  std::atomic<bool> ready{false};
  std::thread lobby_thread([&] {
    SteadyClock real;
    EventLoop lobby_loop(real);
    BusWindow lobby(lobby_loop, bus, "lobby",
                    [](const WindowMessage& m) { return static_cast<int64_t>(m.msg) + m.wparam; });
    ready = true;
    while (!stop) lobby_loop.RunFor(0.01);
  });
  while (!ready) std::this_thread::yield();
  WindowBus sender(bus.Namespace());
  WindowHandle h = sender.FindWindow("lobby");
  ASSERT_NE(h, 0);
  EXPECT_EQ(sender.SendMessage(h, {kWmSysCommand, kScMinimize, 0}), 0x112 + 0xF020);
  stop = true;
  lobby_thread.join();

  BusWindow silent(loop, bus, "silent", [](const WindowMessage&) { return 1; });
  WindowHandle s = sender.FindWindow("silent");
  ASSERT_NE(s, 0);
  EXPECT_EQ(sender.SendMessage(s, {0x16, 0, 0}, 0.05), std::nullopt);  // its loop never ran
}

}  // namespace
}  // namespace slvn
