#include "video/relay_hub.h"

#include <algorithm>
#include <limits>

namespace slvn {

namespace {

constexpr uint64_t kNone = std::numeric_limits<uint64_t>::max();
// A new shared buffer starts this large and doubles up to kSharedBuffer.
constexpr size_t kFirstBuffer = 256;

RelayMessage StateMessage(RelayType type, uint8_t slot, int16_t value) {
  RelayMessage m;
  m.type = type;
  m.slot = slot;
  m.value = value;
  return m;
}

// Buffers for frames this large are rounded up, so that a spare fits the
// next frame of nearly the same size.
constexpr size_t kRoundedFrame = 64 * 1024;
constexpr size_t kFrameRounding = 16 * 1024;
// Spare frame buffers kept beside the most frames queued lately, and how
// many of those past it go back to the system at each step: a frame does
// not notice two buffers unmapped, where fifty at once held it up.
constexpr size_t kExtraSpares = 4;
constexpr size_t kSparesPerStep = 2;
constexpr double kTrimStepSeconds = 0.05;
// The holders of places the record names when the relay is full.
constexpr size_t kNamedHolders = 8;

const char* RefusalText(int why) {
  switch (why) {
    case 0:
      return "full";
    case 1:
      return "too many from one address";
    default:
      return "no log-in in time";
  }
}

}  // namespace

std::string RelayHub::RecordText(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto u = static_cast<unsigned char>(ch);
    if (u > 0x20 && u != 0x7f && ch != '\\') {
      out += ch;
      continue;
    }
    out += "\\x";
    out += kHex[u >> 4];
    out += kHex[u & 15];
  }
  return out;
}

bool RelayHub::Open(int id, const std::string& address, double now) {
  now_ = now;
  if (next_summary_ < 0) next_summary_ = now + limits_.summary_seconds;
  if (conns_.size() >= limits_.max_connections) {
    Refuse(kFull, address, now);
    return false;
  }
  int& from_address = addresses_[address];
  if (static_cast<size_t>(from_address) >= limits_.max_per_address) {
    Refuse(kAddressShare, address, now);
    return false;
  }
  ++from_address;
  Conn& c = conns_[id];
  c.id = id;
  c.naming = ++serial_;
  c.address = address;
  c.heard = now;
  c.unnamed_since = now;
  c.waiting.fill(kNone);
  return true;
}

void RelayHub::Received(int id, std::span<const uint8_t> bytes, double now) {
  Conn* c = Find(id);
  if (!c || c->closing) return;
  c->reader.Feed(bytes);
  Process(id, *c, bytes.size(), now);
}

std::span<uint8_t> RelayHub::ReadSpace(int id) {
  Conn* c = Find(id);
  if (!c || c->closing) return {};
  return c->reader.Space(kReadRoom);
}

void RelayHub::Filled(int id, size_t n, double now) {
  Conn* c = Find(id);
  if (!c || c->closing) return;
  c->reader.Filled(n);
  Process(id, *c, n, now);
}

void RelayHub::Process(int id, Conn& conn, size_t n, double now) {
  Conn* c = &conn;
  now_ = now;
  // Any byte counts as heard: a large frame on a slow line is alive.
  if (n > 0) c->heard = now;
  speaking_ = c;
  while (!c->closing) {
    auto view = c->reader.NextView();
    if (!view) break;
    if (view->type == static_cast<uint8_t>(RelayType::kFrame)) {
      if (!view->payload.empty()) ForwardFrame(*c, *view);
      continue;
    }
    auto m = DecodeRelayPayload(view->type, view->payload);
    if (!m) continue;
    Handle(id, *c, *m);
    if (!c->logged_in && c->unnamed_since < 0) c->unnamed_since = now;
  }
  if (c->reader.Broken() && !c->closing) {
    Note("oversize " + Who(*c));
    c->closing = true;
  }
  speaking_ = nullptr;
}

std::span<const uint8_t> RelayHub::Pending(int id) const {
  const Conn* c = Find(id);
  if (!c || c->out.empty()) return {};
  const Out& front = c->out.front();
  return std::span<const uint8_t>(front.bytes).subspan(front.sent);
}

void RelayHub::Sent(int id, size_t n) {
  Conn* c = Find(id);
  while (c && n > 0 && !c->out.empty()) {
    Out& front = c->out.front();
    const size_t take = std::min(n, front.bytes.size() - front.sent);
    front.sent += take;
    c->unsent -= take;
    n -= take;
    if (front.sent < front.bytes.size()) break;
    c->cost -= front.bytes.capacity() + kEntryCost;
    if (front.frame) {
      CountFrame(front, *c, true);
      --frames_queued_;
      GiveBuffer(std::move(front.bytes));
    }
    c->out.pop_front();
    ++c->popped;
  }
}

size_t RelayHub::Unsent(int id) const {
  const Conn* c = Find(id);
  return c ? c->unsent : 0;
}

size_t RelayHub::Queued(int id) const {
  const Conn* c = Find(id);
  return c ? c->cost : 0;
}

size_t RelayHub::Held() const {
  size_t held = 0;
  for (const auto& [id, c] : conns_) held += c.cost + c.reader.Capacity();
  return held + spare_bytes_;
}

void RelayHub::Expire(double now) {
  now_ = now;
  for (auto& [id, c] : conns_) {
    if (c.closing) continue;
    if (now - c.heard >= limits_.idle_seconds) {
      Note("idle " + Who(c), &c);
      c.closing = true;
    } else if (!c.logged_in && now - c.unnamed_since >= limits_.login_seconds) {
      Refuse(kNoLogin, c.address, now);
      c.closing = true;
    }
  }
  if (next_summary_ >= 0 && now >= next_summary_) {
    WriteCounts();
    for (auto& [id, c] : conns_) {
      c.lines = 0;
      c.reader.Shrink();
    }
    older_frame_peak_ = last_frame_peak_;
    last_frame_peak_ = frame_peak_;
    frame_peak_ = frames_queued_;
    next_summary_ = now + limits_.summary_seconds;
  }
  TrimSpares(now);
}

double RelayHub::NextExpiry() const {
  double next = std::numeric_limits<double>::infinity();
  for (const auto& [id, c] : conns_) {
    if (c.closing) continue;
    next = std::min(next, c.heard + limits_.idle_seconds);
    if (!c.logged_in) next = std::min(next, c.unnamed_since + limits_.login_seconds);
  }
  if (next_summary_ >= 0) next = std::min(next, next_summary_);
  if (!spares_.empty() && spares_.size() + frames_queued_ > SpareRoom())
    next = std::min(next, next_trim_);
  return next;
}

bool RelayHub::Closing(int id) const {
  const Conn* c = Find(id);
  return !c || c->closing;
}

void RelayHub::MarkClosing(int id) {
  if (Conn* c = Find(id)) c->closing = true;
}

std::vector<int> RelayHub::Sweep() {
  // Every frame to a closing connection counts as dropped while its sender
  // is still here to count it, even one closing in the same round.
  for (auto& [id, c] : conns_)
    if (c.closing) DropFrames(c);
  std::vector<int> gone;
  for (auto it = conns_.begin(); it != conns_.end();) {
    Conn& c = it->second;
    if (!c.closing) {
      ++it;
      continue;
    }
    Summarize(c, true);  // before the last line about it
    if (c.logged_in) Note("gone " + RecordText(c.name), &c);
    WriteLeftOut(c, true);
    if (c.logged_in) Logout(it->first, c, 0);
    if (auto a = addresses_.find(c.address); a != addresses_.end() && --a->second <= 0)
      addresses_.erase(a);
    gone.push_back(it->first);
    it = conns_.erase(it);
  }
  if (!gone.empty()) Restate();
  return gone;
}

void RelayHub::Summarize(double now) {
  now_ = now;
  for (auto& [id, c] : conns_) DropFrames(c);
  WriteCounts();
}

void RelayHub::WriteCounts() {
  for (auto& [id, c] : conns_) {
    Summarize(c, false);
    WriteLeftOut(c, false);
  }
  WriteRefusals();
  if (others_.passed + others_.dropped > 0)
    Put("frames under other names or of closed connections: " + std::to_string(others_.passed) +
        " passed on, " + std::to_string(others_.bytes) + " bytes, " +
        std::to_string(others_.dropped) + " dropped");
  others_ = {};
  if (lines_left_out_ > 0) Put("record: " + std::to_string(lines_left_out_) + " lines left out");
  lines_left_out_ = 0;
}

int RelayHub::FromAddress(const std::string& address) const {
  auto it = addresses_.find(address);
  return it == addresses_.end() ? 0 : it->second;
}

void RelayHub::Handle(int id, Conn& c, RelayMessage& m) {
  switch (m.type) {
    case RelayType::kLogin:
      Login(id, c, m.name);
      break;
    case RelayType::kConnect:
    case RelayType::kDrop:
      if (!c.logged_in || m.slot < 1 || m.slot > 3) break;
      c.slots[m.slot] = m.type == RelayType::kConnect ? m.name : "";
      if (m.type == RelayType::kConnect)
        Note("bind " + Who(c) + " " + std::to_string(m.slot) + " " + RecordText(m.name));
      else
        Note("drop " + Who(c) + " " + std::to_string(m.slot));
      Restate();
      break;
    case RelayType::kLogout:
      if (!c.logged_in) break;
      Note("logout " + Who(c));
      Logout(id, c, -1);
      Restate();
      break;
    case RelayType::kFormat:
    case RelayType::kParam:
      Forward(c, m);
      break;
    default:
      break;  // a keep-alive only counts as heard
  }
}

// A name held by a live connection stays with it: anyone who knows a
// player's account name could otherwise take over that player's video.
// A connection that tries another name gives up its own first, and its
// peers are told, as after a log-out.
void RelayHub::Login(int id, Conn& c, const std::string& name) {
  const bool renamed = c.logged_in && c.name != name;
  if (renamed) Logout(id, c, -1);
  if (Conn* holder = Named(name); holder && holder != &c) {
    Note("held " + RecordText(name));
    Queue(c, StateMessage(RelayType::kLoginState, 0, kLoginNameHeld));
    if (renamed) Restate();
    return;
  }
  names_[name] = id;
  c.name = name;
  c.logged_in = true;
  Note("login " + RecordText(name));
  Queue(c, StateMessage(RelayType::kLoginState, 0, kLoginAccepted));
  Restate();
}

// `now` starts the log-in deadline again; below 0 it starts once the
// message being handled is done.
void RelayHub::Logout(int id, Conn& c, double now) {
  Summarize(c, true);  // the tallies go under the name they were made with
  c.naming = ++serial_;
  if (auto it = names_.find(c.name); it != names_.end() && it->second == id) names_.erase(it);
  c.logged_in = false;
  c.unnamed_since = now;
  c.slots = {};
  c.reported = {};
}

void RelayHub::Forward(Conn& from, RelayMessage& m) {
  if (!from.logged_in || m.slot < 1 || m.slot > 3) return;
  Conn* to = Named(from.slots[m.slot]);
  const int back = to ? SlotOf(*to, from.name) : 0;
  if (back == 0) return;  // not linked
  m.slot = static_cast<uint8_t>(back);
  Queue(*to, m);
}

void RelayHub::ForwardFrame(Conn& from, const RelayView& view) {
  const uint8_t slot = view.payload[0];
  if (!from.logged_in || slot < 1 || slot > 3) return;
  Conn* to = Named(from.slots[slot]);
  const int back = to ? SlotOf(*to, from.name) : 0;
  if (back == 0) return;  // not linked
  QueueFrame(from, *to, back, view.whole);
}

// The newest frame wins: one that still waits whole for this slot is
// replaced in its place, and counts as dropped. A frame counts once, when
// it is sent or dropped, so a summary never counts one that waits. The
// frame's bytes are copied once, from the reader into a spare buffer, and
// only while what the receiver's queue and its socket in the kernel hold
// stays below the backlog.
void RelayHub::QueueFrame(Conn& from, Conn& to, int back, std::span<const uint8_t> whole) {
  Out* waiting = nullptr;
  if (const uint64_t seq = to.waiting[back]; seq != kNone && seq >= to.popped) {
    Out& out = to.out[static_cast<size_t>(seq - to.popped)];
    if (out.sent == 0 && out.frame) waiting = &out;
  }
  const size_t before = waiting ? waiting->bytes.capacity() : 0;
  std::vector<uint8_t> bytes = TakeBuffer(whole.size());
  const size_t added = bytes.capacity() + (waiting ? 0 : kEntryCost);
  const size_t in_kernel = in_kernel_ ? in_kernel_(to.id) : 0;
  if (to.cost - before + added + in_kernel > limits_.frame_backlog) {
    ++TallyFor(from, to.name).dropped;
    GiveBuffer(std::move(bytes));
    return;
  }
  bytes.assign(whole.begin(), whole.end());
  bytes[5] = static_cast<uint8_t>(back);
  const size_t payload = whole.size() - 6;
  if (waiting) {
    CountFrame(*waiting, to, false);
    to.unsent += bytes.size() - waiting->bytes.size();
    to.cost += bytes.capacity() - before;
    GiveBuffer(std::move(waiting->bytes));
    waiting->bytes = std::move(bytes);
    waiting->from = from.id;
    waiting->naming = from.naming;
    waiting->payload = payload;
    return;
  }
  to.unsent += bytes.size();
  to.cost += bytes.capacity() + kEntryCost;
  to.waiting[back] = to.popped + to.out.size();
  to.out.push_back({std::move(bytes), 0, true, from.id, from.naming, payload});
  ++frames_queued_;
  frame_peak_ = std::max(frame_peak_, frames_queued_);
}

std::vector<uint8_t> RelayHub::TakeBuffer(size_t size) {
  if (size >= kRoundedFrame) size = (size + kFrameRounding - 1) / kFrameRounding * kFrameRounding;
  // A spare that fits without costing much more than the frame.
  for (size_t i = spares_.size(); i-- > 0;) {
    const size_t capacity = spares_[i].capacity();
    if (capacity < size || capacity > size + size / 2 + kFrameRounding) continue;
    std::vector<uint8_t> buffer = std::move(spares_[i]);
    spares_[i] = std::move(spares_.back());
    spares_.pop_back();
    spare_bytes_ -= capacity;
    buffer.clear();
    return buffer;
  }
  std::vector<uint8_t> buffer;
  buffer.reserve(size);
  return buffer;
}

// Freed here only past the room of a period ago: when the room shrinks at a
// summary, buffers freed one a frame sent held the frames up on a busy
// machine; the trim's steps give those back.
void RelayHub::GiveBuffer(std::vector<uint8_t> buffer) {
  if (buffer.capacity() == 0) return;
  if (spares_.size() + frames_queued_ >= KeptRoom()) return;  // freed
  spare_bytes_ += buffer.capacity();
  spares_.push_back(std::move(buffer));
}

// None with nobody connected: no frame can want one.
size_t RelayHub::SpareRoom() const {
  return conns_.empty() ? 0 : std::max(frame_peak_, last_frame_peak_) + kExtraSpares;
}

size_t RelayHub::KeptRoom() const {
  return conns_.empty() ? 0 : std::max(SpareRoom(), older_frame_peak_ + kExtraSpares);
}

void RelayHub::TrimSpares(double now) {
  if (now < next_trim_) return;
  const size_t room = SpareRoom();
  size_t freed = 0;
  for (; freed < kSparesPerStep && !spares_.empty() && spares_.size() + frames_queued_ > room;
       ++freed) {
    spare_bytes_ -= spares_.back().capacity();
    spares_.pop_back();
  }
  if (freed > 0) next_trim_ = now + kTrimStepSeconds;
}

// Everything but frames must arrive; a receiver that does not take them in
// time is closed rather than let its backlog grow. A message small enough
// goes at the end of the last buffer, so that its cost is its bytes.
void RelayHub::Queue(Conn& to, const RelayMessage& m) {
  if (to.closing) return;
  const size_t n = EncodedRelaySize(m);
  Out* tail = to.out.empty() ? nullptr : &to.out.back();
  if (tail && (tail->frame || tail->bytes.size() + n > kSharedBuffer)) tail = nullptr;
  size_t capacity = n;
  size_t added = n + kEntryCost;
  if (tail) {
    capacity = tail->bytes.capacity();
    if (tail->bytes.size() + n > capacity)
      capacity = std::min(kSharedBuffer, std::max(2 * capacity, tail->bytes.size() + n));
    added = capacity - tail->bytes.capacity();
  } else if (n <= kSharedBuffer) {
    capacity = std::max(n, kFirstBuffer);
    added = capacity + kEntryCost;
  }
  if (to.cost + added > limits_.max_unsent) {
    Note("behind " + Who(to));
    to.closing = true;
    return;
  }
  if (!tail) {
    to.out.push_back({});
    tail = &to.out.back();
  }
  tail->bytes.reserve(capacity);
  AppendRelayMessage(m, tail->bytes);
  to.unsent += n;
  to.cost += added;
}

// Tells every client the slots whose state changed.
void RelayHub::Restate() {
  for (auto& [id, c] : conns_) {
    if (!c.logged_in || c.closing) continue;
    for (int s = 1; s <= 3; ++s) {
      int16_t state = kSlotFree;
      if (!c.slots[s].empty()) {
        const Conn* other = Named(c.slots[s]);
        state = other && SlotOf(*other, c.name) ? kSlotLinked : kSlotBound;
      }
      if (state == c.reported[s]) continue;
      c.reported[s] = state;
      Note("state " + Who(c) + " " + std::to_string(s) + " " + std::to_string(state));
      Queue(c, StateMessage(RelayType::kUserState, static_cast<uint8_t>(s), state));
    }
  }
}

// Each address is named the first time it is turned away for a cause in a
// summary period, as soon as the relay's lines a second let its line
// through; the refusals not in such a line are counted, and the counts go
// into the record with the summary or at the stop.
void RelayHub::Refuse(Refusal why, const std::string& address, double now) {
  now_ = now;
  RefusalNote& note = refusals_[why];
  auto it = note.addresses.find(address);
  if (it == note.addresses.end()) {
    if (refused_addresses_ >= NamedAddresses()) {
      ++note.others;
      return;
    }
    it = note.addresses.emplace(address, Refused{}).first;
    ++refused_addresses_;
  }
  Refused& refused = it->second;
  if (refused.named || !Admit()) {
    ++refused.unwritten;
    return;
  }
  refused.named = true;
  std::string line = "turned away " + address + ": " + RefusalText(why);
  if (why == kFull) line += "; the places: " + Holders();
  Put(line);
}

void RelayHub::WriteRefusals() {
  for (int why = 0; why < kRefusals; ++why) {
    RefusalNote& note = refusals_[why];
    for (const auto& [address, refused] : note.addresses)
      if (refused.unwritten > 0)
        Put("turned away " + address + ": " + RefusalText(why) + ", " +
            std::to_string(refused.unwritten) + (refused.named ? " more times" : " times"));
    if (note.others > 0)
      Put("turned away from other addresses: " + std::string(RefusalText(why)) + ", " +
          std::to_string(note.others) + " times");
    note = {};
  }
  refused_addresses_ = 0;
}

// The addresses that hold the most places, and their counts.
std::string RelayHub::Holders() const {
  std::vector<std::pair<int, std::string>> by_count;
  for (const auto& [address, n] : addresses_) by_count.emplace_back(-n, address);
  const size_t named = std::min(by_count.size(), kNamedHolders);
  std::partial_sort(by_count.begin(), by_count.begin() + static_cast<ptrdiff_t>(named),
                    by_count.end());
  std::string text;
  for (size_t i = 0; i < named; ++i)
    text += (i ? ", " : "") + by_count[i].second + " " + std::to_string(-by_count[i].first);
  if (by_count.size() > named)
    text += " and " + std::to_string(by_count.size() - named) + " more addresses";
  return text;
}

void RelayHub::CountFrame(const Out& frame, const Conn& to, bool passed) {
  Conn* from = Find(frame.from);
  FrameTally& tally = from && from->naming == frame.naming ? TallyFor(*from, to.name) : others_;
  if (passed) {
    ++tally.passed;
    tally.bytes += frame.payload;
  } else {
    ++tally.dropped;
  }
}

RelayHub::FrameTally& RelayHub::TallyFor(Conn& from, const std::string& to) {
  if (auto it = from.tallies.find(to); it != from.tallies.end()) return it->second;
  if (from.tallies.size() >= kTalliedReceivers) return others_;
  return from.tallies[to];
}

// The frames stay in the queue as plain bytes, so what it holds and costs
// stays as it was.
void RelayHub::DropFrames(Conn& c) {
  for (Out& out : c.out) {
    if (!out.frame) continue;
    CountFrame(out, c, false);
    out.frame = false;
    --frames_queued_;
  }
}

// One line for each receiver of the connection's frames.
void RelayHub::Summarize(Conn& c, bool charged) {
  for (const auto& [to, t] : c.tallies) {
    const std::string line = "frames " + Who(c) + " " + RecordText(to) + ": " +
                             std::to_string(t.passed) + " passed on, " + std::to_string(t.bytes) +
                             " bytes, " + std::to_string(t.dropped) + " dropped";
    if (!charged) {
      Put(line);
    } else if (c.lines < limits_.lines_per_summary && Admit()) {
      ++c.lines;
      Put(line);
    } else {
      others_.passed += t.passed;
      others_.bytes += t.bytes;
      others_.dropped += t.dropped;
    }
  }
  c.tallies.clear();
}

// At a departure the line goes within the relay's lines a second, or its
// count into the relay's own.
void RelayHub::WriteLeftOut(Conn& c, bool charged) {
  if (c.lines_left_out > 0) {
    const std::string line =
        "lines " + Who(c) + ": " + std::to_string(c.lines_left_out) + " more left out";
    if (!charged || Admit())
      Put(line);
    else
      lines_left_out_ += static_cast<uint64_t>(c.lines_left_out);
  }
  c.lines_left_out = 0;
}

void RelayHub::Note(const std::string& line) {
  Note(line, speaking_);
}

void RelayHub::Note(const std::string& line, Conn* charged) {
  if (charged && ++charged->lines > limits_.lines_per_summary) {
    ++charged->lines_left_out;
    return;
  }
  Write(line);
}

void RelayHub::Write(const std::string& line) {
  if (Admit())
    Put(line);
  else
    ++lines_left_out_;
}

// The relay's allowance refills at its lines a second up to the burst; the
// lines it left out are counted in the next line it lets through, and at
// every summary.
bool RelayHub::Admit() {
  tokens_ = std::min(limits_.record_burst,
                     tokens_ + std::max(0.0, now_ - tokens_at_) * limits_.record_lines_per_second);
  tokens_at_ = now_;
  if (tokens_ < 1) return false;
  if (lines_left_out_ > 0 && tokens_ >= 2) {
    if (record_) record_("record: " + std::to_string(lines_left_out_) + " lines left out");
    lines_left_out_ = 0;
    tokens_ -= 1;
  }
  tokens_ -= 1;
  return true;
}

void RelayHub::Put(const std::string& line) {
  if (record_) record_(line);
}

RelayHub::Conn* RelayHub::Named(const std::string& name) {
  auto it = names_.find(name);
  if (it == names_.end()) return nullptr;
  Conn* c = Find(it->second);
  return c && !c->closing ? c : nullptr;
}

RelayHub::Conn* RelayHub::Find(int id) {
  auto it = conns_.find(id);
  return it == conns_.end() ? nullptr : &it->second;
}

const RelayHub::Conn* RelayHub::Find(int id) const {
  auto it = conns_.find(id);
  return it == conns_.end() ? nullptr : &it->second;
}

int RelayHub::SlotOf(const Conn& c, const std::string& name) {
  for (int s = 1; s <= 3; ++s)
    if (c.slots[s] == name) return s;
  return 0;
}

}  // namespace slvn
