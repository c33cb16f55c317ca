#include "platform/resolve.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <thread>

namespace slvn {

namespace {

std::optional<IPv4Address> LookUp(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
    return std::nullopt;
  IPv4Address address{};
  const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  std::memcpy(address.data(), &in->sin_addr.s_addr, 4);
  freeaddrinfo(found);
  return address;
}

}  // namespace

// Shared by the loop's side and the lookup thread; whoever lets go last
// closes the event descriptor, so the thread never writes to a closed one.
struct NameLookup::Pending {
  int fd = -1;
  std::optional<IPv4Address> answer;  // written by the thread before it signals
  ~Pending() {
    if (fd >= 0) close(fd);
  }
};

std::optional<IPv4Address> ParseIPv4(const std::string& host) {
  in_addr parsed{};
  if (inet_pton(AF_INET, host.c_str(), &parsed) != 1) return std::nullopt;
  IPv4Address address{};
  std::memcpy(address.data(), &parsed.s_addr, 4);
  return address;
}

void NameLookup::Start(const std::string& host, Done done) {
  Cancel();
  if (auto address = ParseIPv4(host)) {
    done(address);
    return;
  }
  auto pending = std::make_shared<Pending>();
  pending->fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (pending->fd < 0) {
    done(std::nullopt);
    return;
  }
  try {
    std::thread([pending, host] {
      pending->answer = LookUp(host);
      const uint64_t one = 1;
      [[maybe_unused]] ssize_t n = write(pending->fd, &one, sizeof one);
    }).detach();
  } catch (const std::system_error&) {
    done(std::nullopt);  // no thread to be had: as a name that cannot be found
    return;
  }
  pending_ = pending;
  done_ = std::move(done);
  watch_ = loop_.Watch(pending->fd, POLLIN, [this](short) { Finish(); });
}

void NameLookup::Cancel() {
  if (watch_) loop_.Unwatch(watch_);
  watch_ = 0;
  pending_.reset();
  done_ = nullptr;
}

void NameLookup::Finish() {
  uint64_t count = 0;
  if (read(pending_->fd, &count, sizeof count) != static_cast<ssize_t>(sizeof count)) return;
  const std::optional<IPv4Address> answer = pending_->answer;
  Done done = std::move(done_);
  Cancel();
  if (done) done(answer);
}

}  // namespace slvn
