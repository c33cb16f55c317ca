#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/event_loop.h"

namespace slvn {

// Windows that take messages (the lobby's main window, the client's main
// window) listen on a Unix datagram socket whose abstract name comes from the
// bus namespace and the window's title. Finding a window by title is asking
// whether anything listens there; posting sends a datagram; sending waits for
// the answer, and a window that does not answer in time counts as gone.
using WindowHandle = int32_t;

struct WindowMessage {
  uint32_t msg = 0;
  int64_t wparam = 0;
  int64_t lparam = 0;
};

constexpr uint32_t kWmSysCommand = 0x112;
constexpr int64_t kScMinimize = 0xF020;
constexpr int64_t kScRestore = 0xF120;

// The client's main window is on the bus under a name its lobby can find
// from the process it started, whatever caption the launch line gives it.
std::string ClientWindowTitle(int pid);

class WindowBus {
 public:
  static constexpr double kSendTimeout = 2.0;

  // Tests give each test a namespace of its own; programs take it from the
  // environment (SLVN_BUS, else one per user).
  explicit WindowBus(std::string ns) : ns_(std::move(ns)) {}
  static std::string NamespaceFromEnvironment();

  const std::string& Namespace() const { return ns_; }
  // The socket name of a window title in this namespace.
  std::string AddressOf(std::string_view title) const;

  // 0 when no window with that title listens; a blank title finds nothing.
  WindowHandle FindWindow(std::string_view title);
  // False when the window is gone.
  bool PostMessage(WindowHandle window, const WindowMessage& message);
  // The window's answer, or nothing when it is gone or did not answer in time.
  std::optional<int64_t> SendMessage(WindowHandle window, const WindowMessage& message,
                                     double timeout_seconds = kSendTimeout);

 private:
  std::string ns_;
  std::map<WindowHandle, std::string> addresses_;  // handles found so far
};

// A window on the bus: its handler runs on the event loop for every message
// posted or sent to it; for a sent message the handler's result is the answer.
class BusWindow {
 public:
  using Handler = std::function<int64_t(const WindowMessage&)>;

  BusWindow(EventLoop& loop, const WindowBus& bus, std::string_view title, Handler handler);
  ~BusWindow();
  BusWindow(const BusWindow&) = delete;
  BusWindow& operator=(const BusWindow&) = delete;

  // False when another window already listens under this title.
  bool Listening() const { return fd_ >= 0; }
  // Takes another title (the caption changed); false when it is taken.
  bool SetTitle(std::string_view title);

 private:
  void Close();
  void OnReadable();

  EventLoop& loop_;
  const WindowBus& bus_;
  Handler handler_;
  int fd_ = -1;
  EventLoop::WatchId watch_ = 0;
};

}  // namespace slvn
