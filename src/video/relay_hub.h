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
// frame wins), a receiver whose other messages pile up past the limit is
// closed, one address holds a share of the places only, and a connection
// that does not log in soon is closed. A receiver's queue is counted at what
// it costs in memory, not at its bytes on the wire: small messages share
// one buffer, and every buffer counts at its capacity.
class RelayHub {
 public:
  struct Limits {
    size_t frame_backlog = 2u << 20;  // a frame is queued only while the queue costs less
    size_t max_unsent = 4u << 20;     // a queue that would cost more closes its receiver
    double idle_seconds = kRelayIdleSeconds;
    double login_seconds = 5;  // a new connection logs in within this or is closed
    size_t max_connections = 128;
    size_t max_per_address = 16;  // well above a family's four players behind one router
    double summary_seconds = 10;  // frames go into the record as a summary this often
    int lines_per_summary = 20;   // a connection's event lines between two summaries
  };
  using Record = std::function<void(const std::string&)>;

  // What a queued message costs beside its bytes: its entry and its buffer's
  // allocation.
  static constexpr size_t kEntryCost = 64;
  // Messages up to this size share their receiver's last buffer, which grows
  // to this size at most.
  static constexpr size_t kSharedBuffer = 64 * 1024;

  RelayHub(Limits limits, Record record) : limits_(limits), record_(std::move(record)) {}

  // A new connection from the address (its IPv6 /64 or IPv4 address, as
  // text); false when it is turned away (full, or the address holds its
  // share), which the record says at most once a second for each cause.
  bool Open(int id, const std::string& address, double now);
  // Bytes read from a connection; every whole message in them is handled.
  void Received(int id, std::span<const uint8_t> bytes, double now);
  // The bytes waiting for a connection, front first; Sent takes n of them off.
  std::span<const uint8_t> Pending(int id) const;
  void Sent(int id, size_t n);
  size_t Unsent(int id) const;
  // What the connection's queue costs in memory (bytes held and entries).
  size_t Queued(int id) const;
  // The memory every connection's queue and read buffer holds.
  size_t Held() const;
  // Connections silent for the idle time, and those not logged in by the
  // log-in deadline, are marked to close; the frame summaries fall due.
  void Expire(double now);
  // When Expire has something to do next (infinity with none open).
  double NextExpiry() const;
  bool Closing(int id) const;
  void MarkClosing(int id);
  // Removes the connections marked to close and returns their ids; their
  // peers see the slots unlinked.
  std::vector<int> Sweep();
  // The frame summaries not yet written, before the relay stops.
  void Summarize();
  size_t Count() const { return conns_.size(); }
  int FromAddress(const std::string& address) const;

 private:
  struct Out {
    std::vector<uint8_t> bytes;
    size_t sent = 0;
    bool frame = false;  // replaced in place while it waits whole
  };
  struct FrameTally {
    uint64_t passed = 0, bytes = 0, dropped = 0;
  };
  struct Conn {
    RelayReader reader;
    std::deque<Out> out;
    uint64_t popped = 0;                // entries sent whole: out[i] is entry popped + i
    std::array<uint64_t, 4> waiting{};  // per slot, the entry of its last queued frame
    size_t unsent = 0;
    size_t cost = 0;  // capacities and entries of `out`
    std::string address;
    std::string name;
    bool logged_in = false;
    bool closing = false;
    double heard = 0;
    double unnamed_since = 0;          // when it opened or last stopped being logged in
    std::array<std::string, 4> slots;  // 1..3
    std::array<int16_t, 4> reported{};
    // Since the last summary: the frames to each receiver, and the event
    // lines written and left out.
    std::map<std::string, FrameTally> tallies;
    int lines = 0, lines_left_out = 0;
  };
  enum Refusal { kFull, kAddressShare, kNoLogin, kRefusals };
  struct RefusalNote {
    double last = -1e300;
    int left_out = 0;
  };

  void Handle(int id, Conn& c, RelayMessage& m);
  void Login(int id, Conn& c, const std::string& name);
  void Logout(int id, Conn& c, double now);
  void Forward(Conn& from, RelayMessage& m);
  void QueueFrame(Conn& from, Conn& to, int back, const RelayMessage& m);
  void Queue(Conn& to, const RelayMessage& m);
  void Restate();
  void Refuse(Refusal why, const std::string& address, double now);
  void Summarize(Conn& c);
  Conn* Named(const std::string& name);
  Conn* Find(int id);
  const Conn* Find(int id) const;
  static int SlotOf(const Conn& c, const std::string& name);
  static std::string Who(const Conn& c) { return c.logged_in ? c.name : "?"; }
  // An event line; one that a connection's message causes counts against
  // that connection's lines until the next summary.
  void Note(const std::string& line);

  Limits limits_;
  Record record_;
  std::map<int, Conn> conns_;
  std::map<std::string, int> names_;      // logged-in name -> connection
  std::map<std::string, int> addresses_;  // address -> open connections
  std::array<RefusalNote, kRefusals> refusals_{};
  Conn* speaking_ = nullptr;  // whose message is being handled
  double next_summary_ = -1;
};

}  // namespace slvn
