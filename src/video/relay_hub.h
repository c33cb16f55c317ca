#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
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
// one buffer, and every buffer counts at its capacity. The record is bounded
// too: each connection has an allowance of event lines (its own doings,
// the frames lines of its log-outs among them), and the relay as a whole a
// number of event lines a second. The counts (frames passed on and dropped,
// refusals, lines left out) have a room of their own beside it, which the
// event lines never use up: at each summary and at the stop at most a few
// lines for each place and one for each refused address, up to one a place
// (CountLines). Whatever a client sent goes in escaped.
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
    // The record over the whole relay: this many lines a second after a
    // burst of record_burst; each line is at most kLongestLine bytes.
    double record_lines_per_second = 50;
    double record_burst = 500;
  };
  using Record = std::function<void(const std::string&)>;
  // The bytes the kernel still holds for a connection, which count against
  // its frames (0 where no one tells).
  using InKernel = std::function<size_t(int id)>;

  // The longest line the record gets: two names of 64 bytes, each byte
  // written as at most 4, and the figures.
  static constexpr size_t kLongestLine = 640;

  // What a queued message costs beside its bytes: its entry and its buffer's
  // allocation.
  static constexpr size_t kEntryCost = 64;
  // Messages up to this size share their receiver's last buffer, which grows
  // to this size at most.
  static constexpr size_t kSharedBuffer = 64 * 1024;
  // A sender's receivers with a frames line of their own between two
  // summaries, one for each slot; the frames to further ones are counted
  // with the others.
  static constexpr size_t kTalliedReceivers = 3;

  RelayHub(Limits limits, Record record, InKernel in_kernel = {})
      : limits_(limits),
        record_(std::move(record)),
        in_kernel_(std::move(in_kernel)),
        tokens_(limits.record_burst) {}
  RelayHub(const RelayHub&) = delete;
  RelayHub& operator=(const RelayHub&) = delete;

  // The text of a name (or anything else a client sent) in the record: no
  // byte of it can end a line or pass for a separator, and distinct names
  // stay distinct. Bytes below 0x21, 0x7f and the backslash become \xNN.
  static std::string RecordText(std::string_view text);

  // A new connection from the address (its IPv6 /64 or IPv4 address, as
  // text); false when it is turned away (full, or the address holds its
  // share), which the record says at most once a second for each cause.
  bool Open(int id, const std::string& address, double now);
  // Bytes read from a connection; every whole message in them is handled.
  void Received(int id, std::span<const uint8_t> bytes, double now);
  // The same, read straight into the connection's buffer: room for at least
  // kReadRoom bytes (empty for a connection that is gone or closing), of
  // which Filled takes the n read.
  static constexpr size_t kReadRoom = 16 * 1024;
  std::span<uint8_t> ReadSpace(int id);
  void Filled(int id, size_t n, double now);
  // The bytes waiting for a connection, front first; Sent takes n of them off.
  std::span<const uint8_t> Pending(int id) const;
  void Sent(int id, size_t n);
  size_t Unsent(int id) const;
  // What the connection's queue costs in memory (bytes held and entries).
  size_t Queued(int id) const;
  // The memory every connection's queue and read buffer holds.
  size_t Held() const;
  // Connections silent for the idle time, and those not logged in by the
  // log-in deadline, are marked to close; the summaries fall due, and
  // spare frame buffers go, a few at a time.
  void Expire(double now);
  // When Expire has something to do next: the next summary comes on the
  // clock whether anyone is connected or not.
  double NextExpiry() const;
  bool Closing(int id) const;
  void MarkClosing(int id);
  // Removes the connections marked to close and returns their ids; their
  // peers see the slots unlinked.
  std::vector<int> Sweep();
  // The stop: frames still queued count as dropped, and the frame
  // summaries, refusal counts and lines left out not yet written go into
  // the record.
  void Summarize(double now);
  size_t Count() const { return conns_.size(); }
  // The most lines the counts take at one summary or at the stop: for each
  // place a connection's frames lines (one a slot) and its lines left out;
  // the refused addresses named; then the refusals from further addresses,
  // the frames counted with the others and the relay's lines left out.
  size_t CountLines() const {
    return (kTalliedReceivers + 1) * limits_.max_connections + NamedAddresses() + kRefusals + 2;
  }
  // The refused addresses a summary period names (over all causes): one a
  // place, and at least 64, so a small relay still names its callers.
  size_t NamedAddresses() const { return std::max<size_t>(limits_.max_connections, 64); }
  int FromAddress(const std::string& address) const;

 private:
  struct Out {
    std::vector<uint8_t> bytes;
    size_t sent = 0;
    bool frame = false;  // replaced in place while it waits whole
    // A frame's sender, the name it sent under (its `naming`) and its
    // picture bytes: it is counted once it is sent or dropped.
    int from = -1;
    uint64_t naming = 0;
    size_t payload = 0;
  };
  struct FrameTally {
    uint64_t passed = 0, bytes = 0, dropped = 0;
  };
  struct Conn {
    int id = -1;
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
    // Since the last summary: the frames to each receiver (at most one a
    // slot; the frames to further receivers go with the others) under the
    // name of serial `naming`, and the event lines written and left out,
    // which only the periodic summary starts again.
    std::map<std::string, FrameTally> tallies;
    uint64_t naming = 0;
    int lines = 0, lines_left_out = 0;
  };
  enum Refusal { kFull, kAddressShare, kNoLogin, kRefusals };
  // Since the last summary, for one cause: each address, whether its line
  // was written, and the refusals not yet in the record; the addresses past
  // NamedAddresses (over all causes) are counted together.
  struct Refused {
    bool named = false;
    uint64_t unwritten = 0;
  };
  struct RefusalNote {
    std::map<std::string, Refused> addresses;
    uint64_t others = 0;
  };

  // Handles every whole message the connection's reader holds.
  void Process(int id, Conn& c, size_t n, double now);
  void Handle(int id, Conn& c, RelayMessage& m);
  void Login(int id, Conn& c, const std::string& name);
  void Logout(int id, Conn& c, double now);
  void Forward(Conn& from, RelayMessage& m);
  void ForwardFrame(Conn& from, const RelayView& view);
  void QueueFrame(Conn& from, Conn& to, int back, std::span<const uint8_t> whole);
  void Queue(Conn& to, const RelayMessage& m);
  void Restate();
  void Refuse(Refusal why, const std::string& address, double now);
  // The frame's outcome, in its sender's tally while the sender keeps the
  // name it sent under, or with the others.
  void CountFrame(const Out& frame, const Conn& to, bool passed);
  FrameTally& TallyFor(Conn& from, const std::string& to);
  // Frames still queued for a connection that closes or a relay that stops.
  void DropFrames(Conn& c);
  // The counts of every connection, the refusals, the others and the lines
  // left out, in the counts' own room.
  void WriteCounts();
  // A connection's frames lines: in the counts' room at a summary, or
  // charged to it (and within the relay's lines a second) when it logs out
  // or goes, the tallies whose line finds no room going with the others.
  void Summarize(Conn& c, bool charged);
  void WriteLeftOut(Conn& c, bool charged);
  void WriteRefusals();
  std::string Holders() const;
  Conn* Named(const std::string& name);
  Conn* Find(int id);
  const Conn* Find(int id) const;
  static int SlotOf(const Conn& c, const std::string& name);
  static std::string Who(const Conn& c) { return c.logged_in ? RecordText(c.name) : "?"; }
  // An event line, charged to a connection's lines until the next summary
  // (by default the one whose message is being handled).
  void Note(const std::string& line);
  void Note(const std::string& line, Conn* charged);
  // An event line within the relay's lines a second, or counted as left
  // out.
  void Write(const std::string& line);
  // True when the relay's lines a second let one more line through now.
  bool Admit();
  // A line as it is: in the counts' room, or one the allowance let through.
  void Put(const std::string& line);
  // Frame buffers go back to a few spares rather than to the system, so a
  // steady stream of frames does not take fresh memory for each one.
  std::vector<uint8_t> TakeBuffer(size_t size);
  void GiveBuffer(std::vector<uint8_t> buffer);
  size_t SpareRoom() const;
  // The room a period ago: a buffer handed back stays a spare within it, so
  // a room that shrank at a summary is reached in the trim's steps.
  size_t KeptRoom() const;
  // A few spares over the room go back to the system at each step, so no
  // frame waits for many buffers at once to be unmapped.
  void TrimSpares(double now);

  Limits limits_;
  Record record_;
  InKernel in_kernel_;
  std::vector<std::vector<uint8_t>> spares_;
  size_t spare_bytes_ = 0;
  size_t frames_queued_ = 0;
  // Frames queued at most in this summary period, the last and the one
  // before.
  size_t frame_peak_ = 0, last_frame_peak_ = 0, older_frame_peak_ = 0;
  std::map<int, Conn> conns_;
  std::map<std::string, int> names_;      // logged-in name -> connection
  std::map<std::string, int> addresses_;  // address -> open connections
  std::array<RefusalNote, kRefusals> refusals_{};
  size_t refused_addresses_ = 0;  // entries in refusals_ this period
  // The frames whose line found no room: under an earlier name, to a
  // receiver past a sender's slots, from a connection that has gone.
  FrameTally others_;
  double next_trim_ = 0;
  Conn* speaking_ = nullptr;  // whose message is being handled
  double next_summary_ = -1;
  uint64_t serial_ = 0;  // of the names connections sent frames under
  double now_ = 0;       // the latest time the hub was told
  double tokens_;        // lines the record may take now
  double tokens_at_ = 0;
  uint64_t lines_left_out_ = 0;  // by the relay's lines a second
};

}  // namespace slvn
