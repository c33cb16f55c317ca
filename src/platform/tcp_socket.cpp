#include "platform/tcp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace slvn {

namespace {
// How much one read takes from the kernel at most.
constexpr size_t kReadAhead = 64 * 1024;
}  // namespace

bool TcpSocket::Connect(const std::string& host, uint16_t port) {
  Close();
  if (auto address = ParseIPv4(host)) return ConnectTo(*address, port);
  // A name is looked up off the loop; the attempt starts with its answer.
  state_ = kConnecting;
  lookup_.Start(host, [this, port](std::optional<IPv4Address> address) {
    if (!address) state_ = kError;
    if (address && ConnectTo(*address, port) && state_ == kConnecting) return;
    if (OnConnect) OnConnect();  // made at once, or failed
  });
  return true;
}

bool TcpSocket::ConnectTo(const IPv4Address& address, uint16_t port) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  std::memcpy(&to.sin_addr.s_addr, address.data(), 4);
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  int rc = fd_ < 0 ? -1 : connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  bool pending = rc != 0 && errno == EINPROGRESS;
  if (fd_ < 0 || (rc != 0 && !pending)) {
    Fail();
    return false;
  }
  state_ = pending ? kConnecting : kConnected;
  watch_ = loop_.Watch(fd_, 0, [this](short revents) { OnEvents(revents); });
  UpdateWatch();
  return true;
}

bool TcpSocket::SendData(std::span<const uint8_t> data) {
  if (state_ != kConnected) return false;
  out_.insert(out_.end(), data.begin(), data.end());
  Flush();
  return true;
}

std::vector<uint8_t> TcpSocket::GetData(size_t at_most) {
  std::vector<uint8_t> data;
  if (at_most >= in_.size()) {
    data.swap(in_);
  } else {
    data.assign(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(at_most));
    in_.erase(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(at_most));
  }
  if (in_.empty()) UpdateWatch();  // reads again
  return data;
}

void TcpSocket::Close() {
  lookup_.Cancel();
  if (watch_) loop_.Unwatch(watch_);
  watch_ = 0;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  state_ = kClosed;
  out_.clear();
  in_.clear();
}

void TcpSocket::Fail() {
  Close();
  state_ = kError;
}

void TcpSocket::UpdateWatch() {
  if (!watch_) return;
  short events = 0;
  if (state_ == kConnecting || !out_.empty()) events |= POLLOUT;
  if (state_ == kConnected && in_.empty()) events |= POLLIN;
  loop_.SetWatchEvents(watch_, events);
}

void TcpSocket::OnEvents(short revents) {
  if (state_ == kConnecting) {
    FinishConnect();
    return;
  }
  if (state_ != kConnected) return;
  if (revents & POLLOUT) Flush();
  if (state_ == kConnected && (revents & (POLLIN | POLLHUP | POLLERR)))
    ReadAvailable((revents & (POLLHUP | POLLERR)) != 0);
}

void TcpSocket::FinishConnect() {
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
    Fail();
    if (OnConnect) OnConnect();
    return;
  }
  state_ = kConnected;
  UpdateWatch();
  if (OnConnect) OnConnect();
}

void TcpSocket::Flush() {
  while (!out_.empty()) {
    ssize_t n = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    if (n <= 0) {
      Fail();
      return;
    }
    out_.erase(out_.begin(), out_.begin() + n);
  }
  UpdateWatch();
}

void TcpSocket::ReadAvailable(bool ended) {
  uint8_t chunk[4096];
  size_t before = in_.size();
  bool peer_closed = false;
  // A live connection is read up to kReadAhead, the rest waiting in the
  // kernel until these are taken; one that ended is read to its end, since
  // its hang-up is reported whether or not the socket reads.
  while (ended || in_.size() < kReadAhead) {
    ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
    if (n > 0) {
      in_.insert(in_.end(), chunk, chunk + n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    peer_closed = true;  // orderly end (0) or a reset
    break;
  }
  if (peer_closed) {
    // Stop watching now; the bytes already read can still be taken.
    if (watch_) loop_.Unwatch(watch_);
    watch_ = 0;
    state_ = kClosing;
  }
  if (in_.size() > before && DataArrival) DataArrival(static_cast<int>(in_.size()));
  UpdateWatch();  // what was not taken holds the reading back
  if (peer_closed && state_ == kClosing && OnClose) OnClose();
}

}  // namespace slvn
