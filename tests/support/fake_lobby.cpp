#include "support/fake_lobby.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "platform/event_loop.h"

namespace slvn::test {

std::string TestBusNamespace() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "none";
  return "test-" + std::to_string(getpid()) + "-" + name;
}

FakeLobby::FakeLobby(const std::string& bus_namespace, const std::string& title) {
  thread_ = std::thread([this, bus_namespace, title] {
    SteadyClock clock;
    EventLoop loop(clock);
    WindowBus bus(bus_namespace);
    BusWindow window(loop, bus, title, [this](const WindowMessage& m) {
      std::lock_guard lock(mutex_);
      messages_.push_back(m);
      arrived_.notify_all();
      return int64_t{0};
    });
    ready_ = true;
    while (!stop_) loop.RunFor(0.01);
  });
  while (!ready_) std::this_thread::yield();
}

FakeLobby::~FakeLobby() {
  stop_ = true;
  thread_.join();
}

std::vector<WindowMessage> FakeLobby::WaitForMessages(size_t n, double timeout_seconds) {
  std::unique_lock lock(mutex_);
  arrived_.wait_for(lock, std::chrono::duration<double>(timeout_seconds),
                    [&] { return messages_.size() >= n; });
  return messages_;
}

std::vector<WindowMessage> FakeLobby::Messages() {
  std::lock_guard lock(mutex_);
  return messages_;
}

}  // namespace slvn::test
