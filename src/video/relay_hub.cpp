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

bool RelayHub::Open(int id, const std::string& address, double now) {
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
  c.address = address;
  c.heard = now;
  c.unnamed_since = now;
  c.waiting.fill(kNone);
  return true;
}

void RelayHub::Received(int id, std::span<const uint8_t> bytes, double now) {
  Conn* c = Find(id);
  if (!c || c->closing) return;
  speaking_ = c;
  c->reader.Feed(bytes);
  while (!c->closing) {
    auto m = c->reader.Next();
    if (!m) break;
    c->heard = now;
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
  return held;
}

void RelayHub::Expire(double now) {
  for (auto& [id, c] : conns_) {
    if (c.closing) continue;
    if (now - c.heard >= limits_.idle_seconds) {
      Note("idle " + Who(c));
      c.closing = true;
    } else if (!c.logged_in && now - c.unnamed_since >= limits_.login_seconds) {
      Refuse(kNoLogin, c.address, now);
      c.closing = true;
    }
  }
  if (next_summary_ >= 0 && now >= next_summary_) {
    for (auto& [id, c] : conns_) Summarize(c);
    next_summary_ = now + limits_.summary_seconds;
  }
}

double RelayHub::NextExpiry() const {
  double next = std::numeric_limits<double>::infinity();
  for (const auto& [id, c] : conns_) {
    if (c.closing) continue;
    next = std::min(next, c.heard + limits_.idle_seconds);
    if (!c.logged_in) next = std::min(next, c.unnamed_since + limits_.login_seconds);
  }
  if (!conns_.empty() && next_summary_ >= 0) next = std::min(next, next_summary_);
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
  std::vector<int> gone;
  for (auto it = conns_.begin(); it != conns_.end();) {
    Conn& c = it->second;
    if (!c.closing) {
      ++it;
      continue;
    }
    Summarize(c);  // before the last line about it
    if (c.logged_in) {
      Note("gone " + c.name);
      Logout(it->first, c, 0);
    }
    if (auto a = addresses_.find(c.address); a != addresses_.end() && --a->second <= 0)
      addresses_.erase(a);
    gone.push_back(it->first);
    it = conns_.erase(it);
  }
  if (!gone.empty()) Restate();
  return gone;
}

void RelayHub::Summarize() {
  for (auto& [id, c] : conns_) Summarize(c);
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
        Note("bind " + c.name + " " + std::to_string(m.slot) + " " + m.name);
      else
        Note("drop " + c.name + " " + std::to_string(m.slot));
      Restate();
      break;
    case RelayType::kLogout:
      if (!c.logged_in) break;
      Note("logout " + c.name);
      Logout(id, c, -1);
      Restate();
      break;
    case RelayType::kFrame:
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
void RelayHub::Login(int id, Conn& c, const std::string& name) {
  if (c.logged_in && c.name != name) Logout(id, c, -1);
  if (Conn* holder = Named(name); holder && holder != &c) {
    Note("held " + name);
    Queue(c, StateMessage(RelayType::kLoginState, 0, kLoginNameHeld));
    return;
  }
  names_[name] = id;
  c.name = name;
  c.logged_in = true;
  Note("login " + name);
  Queue(c, StateMessage(RelayType::kLoginState, 0, kLoginAccepted));
  Restate();
}

// `now` starts the log-in deadline again; below 0 it starts once the
// message being handled is done.
void RelayHub::Logout(int id, Conn& c, double now) {
  Summarize(c);  // the tallies go under the name they were made with
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
  if (m.type == RelayType::kFrame)
    QueueFrame(from, *to, back, m);
  else
    Queue(*to, m);
}

// The newest frame wins: one that still waits whole for this slot is
// replaced in its place.
void RelayHub::QueueFrame(Conn& from, Conn& to, int back, const RelayMessage& m) {
  Out* waiting = nullptr;
  if (const uint64_t seq = to.waiting[back]; seq != kNone && seq >= to.popped) {
    Out& out = to.out[static_cast<size_t>(seq - to.popped)];
    if (out.sent == 0) waiting = &out;
  }
  FrameTally& tally = from.tallies[to.name];
  const size_t before = waiting ? waiting->bytes.capacity() : 0;
  const size_t added = EncodedRelaySize(m) + (waiting ? 0 : kEntryCost);
  if (to.cost - before + added > limits_.frame_backlog) {
    ++tally.dropped;
    return;
  }
  std::vector<uint8_t> bytes = EncodeRelayMessage(m);
  ++tally.passed;
  tally.bytes += m.bytes.size();
  if (waiting) {
    ++tally.dropped;
    to.unsent += bytes.size() - waiting->bytes.size();
    to.cost += bytes.capacity() - before;
    waiting->bytes = std::move(bytes);
    return;
  }
  to.unsent += bytes.size();
  to.cost += bytes.capacity() + kEntryCost;
  to.waiting[back] = to.popped + to.out.size();
  to.out.push_back({std::move(bytes), 0, true});
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
      Note("state " + c.name + " " + std::to_string(s) + " " + std::to_string(state));
      Queue(c, StateMessage(RelayType::kUserState, static_cast<uint8_t>(s), state));
    }
  }
}

void RelayHub::Refuse(Refusal why, const std::string& address, double now) {
  RefusalNote& note = refusals_[why];
  if (now - note.last < 1) {
    ++note.left_out;
    return;
  }
  std::string line = "turned away " + address + ": " + RefusalText(why);
  if (note.left_out > 0)
    line += " (and " + std::to_string(note.left_out) + " more since the last such line)";
  note.last = now;
  note.left_out = 0;
  if (record_) record_(line);
}

// One line for each receiver of the connection's frames, and one for the
// event lines it had left out.
void RelayHub::Summarize(Conn& c) {
  if (record_) {
    for (const auto& [to, t] : c.tallies)
      record_("frames " + Who(c) + " " + to + ": " + std::to_string(t.passed) + " passed on, " +
              std::to_string(t.bytes) + " bytes, " + std::to_string(t.dropped) + " dropped");
    if (c.lines_left_out > 0)
      record_("lines " + Who(c) + ": " + std::to_string(c.lines_left_out) + " more left out");
  }
  c.tallies.clear();
  c.lines = c.lines_left_out = 0;
}

void RelayHub::Note(const std::string& line) {
  if (speaking_ && ++speaking_->lines > limits_.lines_per_summary) {
    ++speaking_->lines_left_out;
    return;
  }
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
