#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/window_bus.h"

namespace slvn::test {

// A bus namespace of the running test's own.
std::string TestBusNamespace();

// The lobby's window on its own thread, so that messages sent to it are
// answered while the test's thread waits. Records what it receives.
class FakeLobby {
 public:
  FakeLobby(const std::string& bus_namespace, const std::string& title);
  ~FakeLobby();
  FakeLobby(const FakeLobby&) = delete;
  FakeLobby& operator=(const FakeLobby&) = delete;

  // Waits (real time, bounded) until at least n messages have arrived.
  std::vector<WindowMessage> WaitForMessages(size_t n, double timeout_seconds = 2.0);
  std::vector<WindowMessage> Messages();

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<WindowMessage> messages_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> ready_{false};
  std::thread thread_;
};

}  // namespace slvn::test
