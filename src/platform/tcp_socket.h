#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/resolve.h"

namespace slvn {

// The game's socket: one non-blocking TCP connection watched by the event
// loop. Its events (data arrived, closed by the peer) run from the loop.
class TcpSocket {
 public:
  // Values of State(), as the game tests them.
  enum StateCode : int {
    kClosed = 0,
    kConnecting = 6,
    kConnected = 7,
    kClosing = 8,  // the peer closed; Close() ends it
    kError = 9,
  };

  explicit TcpSocket(EventLoop& loop) : loop_(loop) {}
  ~TcpSocket() { Close(); }
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Starts connecting to a host name or dotted address; a name is looked up
  // without holding the loop. False, with State() 9, when no attempt could be
  // started; otherwise State() is 6 until the connection is made (7) or
  // fails (9), a name that cannot be found included. An open connection is
  // closed first.
  bool Connect(const std::string& host, uint16_t port);
  int State() const { return state_; }
  // Sends the whole buffer: what the kernel does not take now is kept and
  // sent as the socket drains, in order. False when not connected.
  bool SendData(std::span<const uint8_t> data);
  // The bytes received and not yet taken, at most `at_most` of them. While
  // some are left the socket reads no more from the connection: the rest
  // wait in the kernel, and the sender is held back once its buffers fill.
  std::vector<uint8_t> GetData(size_t at_most = SIZE_MAX);
  // Bytes received and not yet taken.
  size_t Pending() const { return in_.size(); }
  // Closes at once (State() 0); bytes not yet sent are dropped with it.
  void Close();
  // Bytes given to SendData that the kernel has not taken yet.
  size_t Unsent() const { return out_.size(); }

  std::function<void(int bytes_total)> DataArrival;
  std::function<void()> OnClose;
  // A pending connection was made (State() 7) or failed (State() 9).
  std::function<void()> OnConnect;

 private:
  bool ConnectTo(const IPv4Address& address, uint16_t port);
  void OnEvents(short revents);
  void FinishConnect();
  void Flush();
  void ReadAvailable(bool ended);
  void Fail();
  void UpdateWatch();

  EventLoop& loop_;
  NameLookup lookup_{loop_};
  int fd_ = -1;
  int state_ = kClosed;
  EventLoop::WatchId watch_ = 0;
  std::vector<uint8_t> out_;
  std::vector<uint8_t> in_;
};

}  // namespace slvn
