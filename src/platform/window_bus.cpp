#include "platform/window_bus.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace slvn {

namespace {

constexpr uint32_t kMagic = 0x534C564E;  // "SLVN"
enum Kind : uint32_t { kPost = 1, kSend = 2, kAnswer = 3 };

struct Wire {
  uint32_t magic;
  uint32_t kind;
  uint64_t serial;
  uint32_t msg;
  uint32_t pad;
  int64_t wparam;
  int64_t lparam;
};

uint64_t Fnv1a(std::string_view s) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

bool IsBlank(std::string_view s) {
  return s.find_first_not_of(" \t") == std::string_view::npos;
}

// An abstract socket address: nothing on disk to clean up, gone with its owner.
socklen_t MakeAddress(const std::string& name, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  size_t n = std::min(name.size(), sizeof addr.sun_path - 1);
  std::memcpy(addr.sun_path + 1, name.data(), n);
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
}

int NewSocket() {
  return socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

bool SendTo(int fd, const std::string& address, const Wire& wire) {
  sockaddr_un addr;
  socklen_t len = MakeAddress(address, addr);
  return sendto(fd, &wire, sizeof wire, 0, reinterpret_cast<sockaddr*>(&addr), len) ==
         static_cast<ssize_t>(sizeof wire);
}

}  // namespace

std::string ClientWindowTitle(int pid) {
  return "slvn-client-" + std::to_string(pid);
}

std::string WindowBus::NamespaceFromEnvironment() {
  const char* ns = std::getenv("SLVN_BUS");
  if (ns && *ns) return ns;
  return "uid-" + std::to_string(getuid());
}

std::string WindowBus::AddressOf(std::string_view title) const {
  char buf[64];
  std::snprintf(buf, sizeof buf, "slvn-bus-%016llx-%016llx",
                static_cast<unsigned long long>(Fnv1a(ns_)),
                static_cast<unsigned long long>(Fnv1a(title)));
  return buf;
}

WindowHandle WindowBus::FindWindow(std::string_view title) {
  if (IsBlank(title)) return 0;
  std::string address = AddressOf(title);
  int fd = NewSocket();
  if (fd < 0) return 0;
  sockaddr_un addr;
  socklen_t len = MakeAddress(address, addr);
  bool listening = connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0;
  close(fd);
  if (!listening) return 0;
  auto handle = static_cast<WindowHandle>((Fnv1a(address) & 0x7FFFFFFF) | 1);
  addresses_[handle] = address;
  return handle;
}

bool WindowBus::PostMessage(WindowHandle window, const WindowMessage& message) {
  auto it = addresses_.find(window);
  if (it == addresses_.end()) return false;
  int fd = NewSocket();
  if (fd < 0) return false;
  Wire wire{kMagic, kPost, 0, message.msg, 0, message.wparam, message.lparam};
  bool ok = SendTo(fd, it->second, wire);
  close(fd);
  return ok;
}

std::optional<int64_t> WindowBus::SendMessage(WindowHandle window, const WindowMessage& message,
                                              double timeout_seconds) {
  auto it = addresses_.find(window);
  if (it == addresses_.end()) return std::nullopt;
  int fd = NewSocket();
  if (fd < 0) return std::nullopt;
  // Autobind gives the answer somewhere to go.
  sockaddr_un self{};
  self.sun_family = AF_UNIX;
  std::optional<int64_t> answer;
  static_assert(sizeof(Wire) == 40);
  const uint64_t serial = (static_cast<uint64_t>(getpid()) << 32) ^ Fnv1a(it->second);
  Wire wire{kMagic, kSend, serial, message.msg, 0, message.wparam, message.lparam};
  if (bind(fd, reinterpret_cast<sockaddr*>(&self), sizeof(sa_family_t)) == 0 &&
      SendTo(fd, it->second, wire)) {
    pollfd p{fd, POLLIN, 0};
    int timeout_ms = static_cast<int>(timeout_seconds * 1000);
    while (poll(&p, 1, timeout_ms) > 0) {
      Wire reply{};
      if (recv(fd, &reply, sizeof reply, 0) == static_cast<ssize_t>(sizeof reply) &&
          reply.magic == kMagic && reply.kind == kAnswer && reply.serial == serial) {
        answer = reply.wparam;
        break;
      }
    }
  }
  close(fd);
  return answer;
}

BusWindow::BusWindow(EventLoop& loop, const WindowBus& bus, std::string_view title, Handler handler)
    : loop_(loop), bus_(bus), handler_(std::move(handler)) {
  SetTitle(title);
}

BusWindow::~BusWindow() {
  Close();
}

void BusWindow::Close() {
  if (fd_ < 0) return;
  loop_.Unwatch(watch_);
  close(fd_);
  fd_ = -1;
}

bool BusWindow::SetTitle(std::string_view title) {
  Close();
  if (IsBlank(title)) return false;
  int fd = NewSocket();
  if (fd < 0) return false;
  sockaddr_un addr;
  socklen_t len = MakeAddress(bus_.AddressOf(title), addr);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  watch_ = loop_.Watch(fd_, POLLIN, [this](short) { OnReadable(); });
  return true;
}

void BusWindow::OnReadable() {
  // One message per wake-up keeps each message its own event, in order.
  Wire wire{};
  sockaddr_un from{};
  socklen_t from_len = sizeof from;
  ssize_t n = recvfrom(fd_, &wire, sizeof wire, 0, reinterpret_cast<sockaddr*>(&from), &from_len);
  if (n != static_cast<ssize_t>(sizeof wire) || wire.magic != kMagic) return;
  if (wire.kind != kPost && wire.kind != kSend) return;
  int fd = fd_;
  int64_t result = handler_ ? handler_({wire.msg, wire.wparam, wire.lparam}) : 0;
  if (wire.kind == kSend && fd_ == fd && fd_ >= 0) {
    Wire reply{kMagic, kAnswer, wire.serial, wire.msg, 0, result, 0};
    sendto(fd_, &reply, sizeof reply, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), from_len);
  }
}

}  // namespace slvn
