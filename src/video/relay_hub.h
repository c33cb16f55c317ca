#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "video/relay_protocol.h"

namespace slvn {

// The video relay's bookkeeping, apart from its sockets: connections by id,
// the names they logged in with, their slots, and what each one still has to
// be sent. Everything a connection can make the relay hold is bounded:
// frames to a receiver that falls behind are dropped (the newest waiting
// frame wins), and a receiver whose other messages pile up past the limit is
// closed.
class RelayHub {
 public:
  struct Limits {
    size_t frame_backlog = 2u << 20;  // a frame is queued only below this
    size_t max_unsent = 4u << 20;     // past this the receiver is closed
    double idle_seconds = kRelayIdleSeconds;
  };
  using Record = std::function<void(const std::string&)>;

  RelayHub(Limits limits, Record record) : limits_(limits), record_(std::move(record)) {}

  void Open(int id, double now);
  // Bytes read from a connection; every whole message in them is handled.
  void Received(int id, std::span<const uint8_t> bytes, double now);
  // The bytes waiting for a connection, front first; Sent takes n of them off.
  std::span<const uint8_t> Pending(int id) const;
  void Sent(int id, size_t n);
  size_t Unsent(int id) const;
  // Connections silent for the idle time are marked to close.
  void Expire(double now);
  // When the next connection falls idle (infinity with none open).
  double NextExpiry() const;
  bool Closing(int id) const;
  void MarkClosing(int id);
  // Removes the connections marked to close and returns their ids; their
  // peers see the slots unlinked.
  std::vector<int> Sweep();
  size_t Count() const { return conns_.size(); }

 private:
  struct Out {
    std::vector<uint8_t> bytes;
    size_t sent = 0;
  };
  struct Conn {
    RelayReader reader;
    std::deque<Out> out;
    uint64_t popped = 0;                // entries sent whole: out[i] is entry popped + i
    std::array<uint64_t, 4> waiting{};  // per slot, the entry of its last queued frame
    size_t unsent = 0;
    std::string name;
    bool logged_in = false;
    bool closing = false;
    double heard = 0;
    std::array<std::string, 4> slots;  // 1..3
    std::array<int16_t, 4> reported{};
  };

  void Handle(int id, Conn& c, RelayMessage& m);
  void Login(int id, Conn& c, const std::string& name);
  void Logout(int id, Conn& c);
  void Forward(Conn& from, RelayMessage& m);
  void Queue(Conn& to, const RelayMessage& m);
  void Restate();
  Conn* Named(const std::string& name);
  Conn* Find(int id);
  const Conn* Find(int id) const;
  static int SlotOf(const Conn& c, const std::string& name);
  void Note(const std::string& line) const {
    if (record_) record_(line);
  }

  Limits limits_;
  Record record_;
  std::map<int, Conn> conns_;
  std::map<std::string, int> names_;  // logged-in name -> connection
};

}  // namespace slvn
