#include "video/relay_hub.h"

#include <limits>

namespace slvn {

namespace {

constexpr uint64_t kNone = std::numeric_limits<uint64_t>::max();

RelayMessage StateMessage(RelayType type, uint8_t slot, int16_t value) {
  RelayMessage m;
  m.type = type;
  m.slot = slot;
  m.value = value;
  return m;
}

}  // namespace

void RelayHub::Open(int id, double now) {
  Conn& c = conns_[id];
  c.heard = now;
  c.waiting.fill(kNone);
}

void RelayHub::Received(int id, std::span<const uint8_t> bytes, double now) {
  Conn* c = Find(id);
  if (!c || c->closing) return;
  c->reader.Feed(bytes);
  while (!c->closing) {
    auto m = c->reader.Next();
    if (!m) break;
    c->heard = now;
    Handle(id, *c, *m);
  }
  if (c->reader.Broken() && !c->closing) {
    Note("oversize " + (c->logged_in ? c->name : "?"));
    c->closing = true;
  }
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
    c->out.pop_front();
    ++c->popped;
  }
}

size_t RelayHub::Unsent(int id) const {
  const Conn* c = Find(id);
  return c ? c->unsent : 0;
}

void RelayHub::Expire(double now) {
  for (auto& [id, c] : conns_) {
    if (c.closing || now - c.heard < limits_.idle_seconds) continue;
    Note("idle " + (c.logged_in ? c.name : "?"));
    c.closing = true;
  }
}

double RelayHub::NextExpiry() const {
  double next = std::numeric_limits<double>::infinity();
  for (const auto& [id, c] : conns_)
    if (!c.closing) next = std::min(next, c.heard + limits_.idle_seconds);
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
    if (!it->second.closing) {
      ++it;
      continue;
    }
    if (it->second.logged_in) {
      Note("gone " + it->second.name);
      Logout(it->first, it->second);
    }
    gone.push_back(it->first);
    it = conns_.erase(it);
  }
  if (!gone.empty()) Restate();
  return gone;
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
      Logout(id, c);
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
  if (c.logged_in && c.name != name) Logout(id, c);
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

void RelayHub::Logout(int id, Conn& c) {
  if (auto it = names_.find(c.name); it != names_.end() && it->second == id) names_.erase(it);
  c.logged_in = false;
  c.slots = {};
  c.reported = {};
}

void RelayHub::Forward(Conn& from, RelayMessage& m) {
  if (!from.logged_in || m.slot < 1 || m.slot > 3) return;
  Conn* to = Named(from.slots[m.slot]);
  const int back = to ? SlotOf(*to, from.name) : 0;
  if (back == 0) return;  // not linked
  m.slot = static_cast<uint8_t>(back);
  if (m.type != RelayType::kFrame) {
    Queue(*to, m);
    return;
  }
  const std::string pair = from.name + " " + to->name;
  // The newest frame wins: one that still waits whole for this slot is
  // replaced in its place.
  Out* waiting = nullptr;
  if (const uint64_t seq = to->waiting[back]; seq != kNone && seq >= to->popped) {
    Out& out = to->out[static_cast<size_t>(seq - to->popped)];
    if (out.sent == 0) waiting = &out;
  }
  const size_t before = waiting ? waiting->bytes.size() : 0;
  std::vector<uint8_t> bytes = EncodeRelayMessage(m);
  if (to->unsent - before + bytes.size() > limits_.frame_backlog) {
    Note("dropped " + pair);
    return;
  }
  Note("frame " + pair + " " + std::to_string(m.bytes.size()));
  to->unsent += bytes.size() - before;
  if (waiting) {
    Note("dropped " + pair);
    waiting->bytes = std::move(bytes);
    return;
  }
  to->waiting[back] = to->popped + to->out.size();
  to->out.push_back({std::move(bytes), 0});
}

// Everything but frames must arrive; a receiver that does not take them in
// time is closed rather than let its backlog grow.
void RelayHub::Queue(Conn& to, const RelayMessage& m) {
  if (to.closing) return;
  std::vector<uint8_t> bytes = EncodeRelayMessage(m);
  if (to.unsent + bytes.size() > limits_.max_unsent) {
    Note("behind " + (to.logged_in ? to.name : "?"));
    to.closing = true;
    return;
  }
  to.unsent += bytes.size();
  to.out.push_back({std::move(bytes), 0});
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
