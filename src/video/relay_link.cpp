#include <array>

#include "platform/event_loop.h"
#include "platform/tcp_socket.h"
#include "platform/timer.h"
#include "video/relay_protocol.h"
#include "video/video_controls.h"

namespace slvn {

namespace {

constexpr int kSlots = 3;
// Unsent bytes to the relay: frames wait only below the first, and past the
// second the relay is taken for stuck and the connection starts again.
constexpr size_t kFrameBacklog = 1u << 20;
constexpr size_t kMaxUnsent = 4u << 20;

// The video link over our own protocol to slvn-video-relay. Slots bind
// locally at once (state 1) and the relay reports when the peer is linked
// (15). Every event is posted to the loop, never raised inside a call; what
// is sent before the connection stands waits for it. While logged in, a
// keep-alive every few seconds holds the name; a lost connection or a name
// still held by the relay is tried again at that pace.
class RelayLink final : public P2PSocket {
 public:
  RelayLink(EventLoop& loop, int port_override)
      : loop_(loop), port_override_(port_override), socket_(loop), tick_(loop) {
    socket_.DataArrival = [this](int) { Receive(); };
    socket_.OnClose = [this] { Lost(); };
    socket_.OnConnect = [this] { CheckConnection(); };
    tick_.SetInterval(static_cast<int>(kKeepAliveSeconds * 1000));
    tick_.SetHandler([this] { Tick(); });
  }
  ~RelayLink() override { *alive_ = false; }

  std::string UserID(int slot) const override { return Valid(slot) ? Slot(slot).name : ""; }
  int16_t UserState(int slot) const override { return Valid(slot) ? Slot(slot).state : 0; }

  void LoginServer(const std::string& name) override {
    name_ = name;
    tick_.SetEnabled(true);
    Login();
  }

  void LogoutServer() override {
    RelayMessage logout;
    logout.type = RelayType::kLogout;
    if (Open()) Send(logout);
    slots_ = {};
    name_.clear();
    accepted_ = false;
    tick_.SetEnabled(false);
  }

  void ConnectUser(int slot, const std::string& name) override {
    if (!Valid(slot)) return;
    Slot(slot) = {name, kSlotBound};
    SendConnect(slot);
  }

  void DropUser(int slot) override {
    if (!Valid(slot)) return;
    Slot(slot) = {};
    RelayMessage drop;
    drop.type = RelayType::kDrop;
    drop.slot = static_cast<uint8_t>(slot);
    Send(drop);
  }

  void SendFormat(int slot, const std::vector<uint8_t>& header) override {
    SendBytes(RelayType::kFormat, slot, header);
  }
  void SendParam(int slot, int16_t value) override {
    if (!Bound(slot)) return;
    RelayMessage m;
    m.type = RelayType::kParam;
    m.slot = static_cast<uint8_t>(slot);
    m.value = value;
    Send(m);
  }
  void SendFrame(int slot, const VideoFrame& frame) override {
    SendBytes(RelayType::kFrame, slot, frame);
  }

 private:
  struct SlotState {
    std::string name;
    int16_t state = kSlotFree;
  };

  bool Valid(int slot) const { return slot >= 1 && slot <= kSlots && slot <= UserCount; }
  bool Bound(int slot) const { return Valid(slot) && Slot(slot).state > kSlotFree; }
  SlotState& Slot(int slot) { return slots_[static_cast<size_t>(slot - 1)]; }
  const SlotState& Slot(int slot) const { return slots_[static_cast<size_t>(slot - 1)]; }

  bool Open() const {
    return socket_.State() == TcpSocket::kConnected || socket_.State() == TcpSocket::kConnecting;
  }

  // Connects when needed, logs in and binds the slots again: the relay may
  // have forgotten them with a lost connection.
  void Login() {
    accepted_ = false;
    if (!Open()) {
      waiting_.clear();
      const int port = port_override_ > 0 ? port_override_ : ServerPort;
      if (port < 1 || port > 65535 || !socket_.Connect(ServerAddress, static_cast<uint16_t>(port)))
        return;
    }
    RelayMessage login;
    login.type = RelayType::kLogin;
    login.name = name_;
    Send(login);
    for (int slot = 1; slot <= kSlots; ++slot)
      if (Slot(slot).state > kSlotFree) SendConnect(slot);
  }

  void Tick() {
    if (name_.empty()) return;
    if (socket_.State() == TcpSocket::kConnecting) return;
    if (socket_.State() != TcpSocket::kConnected || !accepted_) {
      Login();
      return;
    }
    RelayMessage alive;
    alive.type = RelayType::kKeepAlive;
    Send(alive);
  }

  void SendConnect(int slot) {
    RelayMessage m;
    m.type = RelayType::kConnect;
    m.slot = static_cast<uint8_t>(slot);
    m.name = Slot(slot).name;
    Send(m);
  }

  void SendBytes(RelayType type, int slot, const std::vector<uint8_t>& bytes) {
    if (!Bound(slot) || bytes.empty() || bytes.size() > kMaxFrameBytes) return;
    RelayMessage m;
    m.type = type;
    m.slot = static_cast<uint8_t>(slot);
    m.bytes = bytes;
    Send(m);
  }

  // A frame that would wait behind a backlog is dropped; everything else
  // must go, and a relay that stops taking it is left.
  void Send(const RelayMessage& m) {
    if (!Open()) return;
    const size_t unsent = socket_.Unsent() + waiting_.size();
    if (m.type == RelayType::kFrame && unsent + m.bytes.size() > kFrameBacklog) return;
    const std::vector<uint8_t> bytes = EncodeRelayMessage(m);
    if (unsent + bytes.size() > kMaxUnsent) {
      Lost();
      return;
    }
    if (socket_.State() == TcpSocket::kConnected) {
      socket_.SendData(bytes);
    } else {
      waiting_.insert(waiting_.end(), bytes.begin(), bytes.end());
    }
  }

  void CheckConnection() {
    switch (socket_.State()) {
      case TcpSocket::kConnecting:
        return;
      case TcpSocket::kConnected:
        socket_.SendData(waiting_);
        waiting_.clear();
        return;
      default:
        Lost();
        return;
    }
  }

  void Receive() {
    reader_.Feed(socket_.GetData());
    while (auto m = reader_.Next()) Handle(*m);
    if (reader_.Broken()) Lost();
  }

  void Handle(const RelayMessage& m) {
    switch (m.type) {
      case RelayType::kLoginState:
        accepted_ = m.value == kLoginAccepted;
        Raise([this, state = m.value] {
          if (LoginStateChanged) LoginStateChanged(state);
        });
        break;
      case RelayType::kUserState:
        if (!Bound(m.slot) || m.value < kSlotBound) break;
        Slot(m.slot).state = m.value;
        Raise([this, slot = m.slot, state = m.value] {
          if (UserStateChanged) UserStateChanged(slot, state);
        });
        break;
      case RelayType::kFrame:
        if (!Bound(m.slot) || !CheckBmpFrame(m.bytes)) break;
        Raise([this, slot = m.slot, frame = m.bytes] {
          if (FrameArrived && Bound(slot)) FrameArrived(slot, frame);
        });
        break;
      default:
        break;  // the format and parameter change nothing here
    }
  }

  // The relay is gone: bound slots fall back to bound, unlinked.
  void Lost() {
    accepted_ = false;
    socket_.Close();
    reader_ = RelayReader();
    waiting_.clear();
    for (int slot = 1; slot <= kSlots; ++slot) {
      if (Slot(slot).state <= kSlotBound) continue;
      Slot(slot).state = kSlotBound;
      Raise([this, slot] {
        if (UserStateChanged) UserStateChanged(slot, kSlotBound);
      });
    }
  }

  void Raise(std::function<void()> event) {
    loop_.Post([alive = std::weak_ptr<bool>(alive_), event = std::move(event)] {
      if (auto a = alive.lock(); a && *a) event();
    });
  }

  EventLoop& loop_;
  int port_override_;
  TcpSocket socket_;
  RelayReader reader_;
  std::vector<uint8_t> waiting_;
  std::array<SlotState, kSlots> slots_{};
  Timer tick_;
  std::string name_;  // empty when logged out
  bool accepted_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace

std::unique_ptr<P2PSocket> MakeRelayLink(EventLoop& loop, int port_override) {
  return std::make_unique<RelayLink>(loop, port_override);
}

}  // namespace slvn
