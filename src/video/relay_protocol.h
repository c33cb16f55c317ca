#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace slvn {

// The video link's messages between a client and the video relay. On the
// wire: a 32-bit big-endian length of what follows, a type byte, the payload.
enum class RelayType : uint8_t {
  kLogin = 1,       // name                    client -> relay
  kLoginState = 2,  // state (i16)             relay -> client
  kConnect = 3,     // slot, name              client -> relay: bind a slot to a peer
  kDrop = 4,        // slot                    client -> relay: free a slot
  kUserState = 5,   // slot, state (i16)       relay -> client
  kFormat = 6,      // slot, bytes             both ways, under the receiver's slot
  kParam = 7,       // slot, value (i16)       both ways
  kFrame = 8,       // slot, bytes             both ways
  kLogout = 9,      // nothing                 client -> relay
  kKeepAlive = 10,  // nothing                 client -> relay: still here
};

// Login states the relay answers with.
constexpr int16_t kLoginNameHeld = 1;  // another live connection holds the name
constexpr int16_t kLoginAccepted = 2;

// A client says something at least this often; a connection silent for
// kRelayIdleSeconds is taken for dead and frees its name.
constexpr double kKeepAliveSeconds = 5;
constexpr double kRelayIdleSeconds = 20;

// Slot states the relay reports.
constexpr int16_t kSlotFree = 0;
constexpr int16_t kSlotBound = 1;
constexpr int16_t kSlotLinked = 15;  // both logged in and bound to each other

// A length above this closes the connection: the largest frame and its slot.
constexpr size_t kMaxRelayMessage = (1 << 20) + 2;
constexpr size_t kMaxRelayName = 64;
// A reader keeps a buffer up to this size when it is told to shrink.
constexpr size_t kKeptReaderBuffer = 64 * 1024;

struct RelayMessage {
  RelayType type = RelayType::kLogout;
  uint8_t slot = 0;
  int16_t value = 0;  // the state or parameter
  std::string name;
  std::vector<uint8_t> bytes;
};

// The bytes of one message; the relay and the link build every message here.
std::vector<uint8_t> EncodeRelayMessage(const RelayMessage& message);
// The same bytes added at the end of a buffer, and their number.
void AppendRelayMessage(const RelayMessage& message, std::vector<uint8_t>& out);
size_t EncodedRelaySize(const RelayMessage& message);

// One whole message as it came, inside the reader's buffer: valid until the
// reader is fed or read again.
struct RelayView {
  uint8_t type = 0;
  std::span<const uint8_t> payload;
  std::span<const uint8_t> whole;  // with its length and type in front
};

// Reads messages out of a byte stream that arrives in pieces.
class RelayReader {
 public:
  void Feed(std::span<const uint8_t> bytes);
  // Room for at least `want` more bytes at the end of the buffer (all the
  // room there is; empty once broken), so that a socket can be read straight
  // into it; Filled then takes n of them as read.
  std::span<uint8_t> Space(size_t want);
  void Filled(size_t n);
  // The next whole message whose payload fits its type; malformed ones are
  // skipped. nullopt when none is complete yet, or the stream is broken.
  std::optional<RelayMessage> Next();
  // The next whole message undecoded, so that a large one need not be
  // copied to be passed on.
  std::optional<RelayView> NextView();
  // A length of 0 or above kMaxRelayMessage came: nothing more can be read.
  bool Broken() const { return broken_; }
  size_t Buffered() const { return end_ - start_; }
  // The memory the reader holds.
  size_t Capacity() const { return buffer_.capacity(); }
  // Lets a large buffer go once everything in it was read, unless more than
  // kKeptReaderBuffer of it was used since the last call. Not done at every
  // feed, and never to a buffer in use: a stream of large messages would
  // take and free it again and again, faulting fresh pages in each time.
  void Shrink();

 private:
  // The length field of the next message, 0 before four bytes are there.
  size_t NextLength() const;

  std::vector<uint8_t> buffer_;  // its whole size is room; [start_, end_) is unread
  size_t start_ = 0, end_ = 0;
  size_t used_ = 0;  // the most of the buffer filled since the last Shrink
  bool broken_ = false;
};

// The message of one type byte and payload; nullopt when the payload does
// not fit the type (a name too long, a missing slot, an unknown type).
std::optional<RelayMessage> DecodeRelayPayload(uint8_t type, std::span<const uint8_t> payload);

}  // namespace slvn
