#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/event_loop.h"

namespace slvn {

using IPv4Address = std::array<uint8_t, 4>;

// A dotted IPv4 address as its four bytes; nothing for anything else.
std::optional<IPv4Address> ParseIPv4(const std::string& host);

// Looks a host name up without holding the loop: the lookup runs on a thread
// of its own and its answer comes back as an event of the loop. A dotted
// address needs no lookup and is answered at once, inside Start.
class NameLookup {
 public:
  using Done = std::function<void(std::optional<IPv4Address>)>;

  explicit NameLookup(EventLoop& loop) : loop_(loop) {}
  ~NameLookup() { Cancel(); }
  NameLookup(const NameLookup&) = delete;
  NameLookup& operator=(const NameLookup&) = delete;

  // Starts a lookup (cancelling one under way); `done` gets the first IPv4
  // address of the host, or nothing when it has none.
  void Start(const std::string& host, Done done);
  // The answer of the lookup under way, if any, is never delivered.
  void Cancel();
  bool Busy() const { return watch_ != 0; }

 private:
  struct Pending;
  void Finish();

  EventLoop& loop_;
  std::shared_ptr<Pending> pending_;
  EventLoop::WatchId watch_ = 0;
  Done done_;
};

}  // namespace slvn
