#include "shell/proxy.h"

#include <algorithm>

#include "chat/chat_state.h"
#include "platform/resolve.h"
#include "shell/client.h"
#include "shell/heartbeat.h"
#include "shell/heartbeat_state.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"

namespace slvn {

namespace {

constexpr uint8_t kSocksVersion = 5;
constexpr uint8_t kAuthVersion = 1;
constexpr uint8_t kMethodNone = 0;
constexpr uint8_t kMethodUserPassword = 2;
constexpr uint8_t kAddressIPv4 = 1;
constexpr uint8_t kAddressName = 3;
constexpr uint8_t kAddressIPv6 = 4;
constexpr size_t kMaxLoginField = 255;

// One byte per character: ASCII as it is, any other character as 0.
std::vector<uint8_t> SingleByteField(std::string_view text) {
  std::vector<uint8_t> out;
  for (unsigned char c : text) {
    if (out.size() == kMaxLoginField) break;
    if (c < 0x80)
      out.push_back(c);
    else if (c >= 0xC0)
      out.push_back(0);  // the lead byte of a wider character
  }
  return out;
}

// The bytes received since the reply began.
std::vector<uint8_t> ReceivedReply(const Net& net) {
  std::vector<uint8_t> out;
  const int32_t size = static_cast<int32_t>(net.ProxyBuffer.size());
  for (int32_t i = net.ProxyReadPos; i != net.ProxyWritePos; i = (i + 1) % size)
    out.push_back(net.ProxyBuffer[i]);
  return out;
}

void FailProxy(Client& client, const char* message) {
  client.net.ProxyStep = 0;
  client.forms.MsgBox(message, "");
  client.Winsock1.Close();
}

// The next step's message goes out; its reply is read from the start.
void SendProxyMessage(Client& client, const std::vector<uint8_t>& message) {
  ++client.net.ProxyStep;
  ResetProxyReceive(client);
  client.Winsock1.SendData(message);
}

void SendStep(Client& client, uint8_t step) {
  client.net.ProxyStep = step;
  SendProxyStep(client);
}

// The tunnel stands: from here the connection is a direct one.
void TunnelReady(Client& client, std::span<const uint8_t> first_game_bytes) {
  Net& net = client.net;
  net.ProxyStep = 0;
  net.ProxyReady = true;
  ResetProxyReceive(client);
  PostToLobby(client, kLobbyGiveUpTable);
  SetSysmsgLine(client, 0, "连接代理服务器成功！");
  SendLoginPacket(client);
  client.main_form.TimerBong.SetEnabled(true);
  if (!first_game_bytes.empty()) StoreArrivedBytes(client, first_game_bytes);
}

}  // namespace

std::vector<uint8_t> ProxyGreeting() {
  return {kSocksVersion, 2, kMethodNone, kMethodUserPassword};
}

std::vector<uint8_t> ProxyAuthentication(std::string_view user, std::string_view password) {
  std::vector<uint8_t> out{kAuthVersion};
  for (std::string_view field : {user, password}) {
    std::vector<uint8_t> bytes = SingleByteField(field);
    out.push_back(static_cast<uint8_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

std::vector<uint8_t> ProxyConnectRequest(const std::array<uint8_t, 4>& address, uint16_t port) {
  return {kSocksVersion,
          1,
          0,
          kAddressIPv4,
          address[0],
          address[1],
          address[2],
          address[3],
          static_cast<uint8_t>(port >> 8),
          static_cast<uint8_t>(port & 0xFF)};
}

std::optional<size_t> ProxyReplyLength(uint8_t step, const std::vector<uint8_t>& received) {
  if (step != 6) return 2;
  // A refusal or a foreign version is judged on its first two bytes.
  if (received.size() < 2) return std::nullopt;
  if (received[0] != kSocksVersion || received[1] != 0) return 2;
  if (received.size() < 4) return std::nullopt;
  switch (received[3]) {
    case kAddressIPv4:
      return 10;
    case kAddressIPv6:
      return 22;
    case kAddressName:
      if (received.size() < 5) return std::nullopt;
      return 7 + size_t{received[4]};
    default:
      return 4;  // an unknown address type: judged as it stands, and refused
  }
}

void ResetProxyReceive(Client& client) {
  client.net.ProxyWritePos = 0;
  client.net.ProxyReadPos = 0;
}

void SendProxyStep(Client& client) {
  Net& net = client.net;
  const LaunchLine& line = client.shell.launch;
  std::vector<uint8_t> message;
  switch (net.ProxyStep) {
    case 1:
      message = ProxyGreeting();
      break;
    case 3:
      message = ProxyAuthentication(line.ProxyUser, line.ProxyPassword);
      break;
    case 5:
      // The game server's address, looked up without holding the loop; the
      // answer counts only while this negotiation still waits for it.
      client.ProxyLookup.Start(line.GameServerHost, [&client](std::optional<IPv4Address> address) {
        if (client.net.ProxyStep != 5) return;
        if (!address) return FailProxy(client, "通过代理连接主站失败！");
        SendProxyMessage(client, ProxyConnectRequest(*address, client.shell.launch.GameServerPort));
      });
      return;
    default:
      return;
  }
  SendProxyMessage(client, message);
}

void HandleProxyReply(Client& client) {
  Net& net = client.net;
  const uint8_t step = net.ProxyStep;
  if (step != 2 && step != 4 && step != 6) return;
  const std::vector<uint8_t> received = ReceivedReply(net);
  const std::optional<size_t> length = ProxyReplyLength(step, received);
  if (!length || received.size() < *length) return;  // the rest of the reply is still coming
  const uint8_t b0 = received[0], b1 = received[1];
  if (step == 2) {
    if (b0 == kSocksVersion && b1 == kMethodUserPassword) return SendStep(client, 3);
    if (b0 == kSocksVersion && b1 == kMethodNone) return SendStep(client, 5);
    return FailProxy(client, "请求代理失败！");
  }
  if (step == 4) {
    if (b0 == kAuthVersion && b1 == 0) return SendStep(client, 5);
    return FailProxy(client, "代理服务器用户验证失败！");
  }
  const bool known_address =
      received.size() >= 4 &&
      (received[3] == kAddressIPv4 || received[3] == kAddressIPv6 || received[3] == kAddressName);
  if (b0 != kSocksVersion || b1 != 0 || !known_address)
    return FailProxy(client, "通过代理连接主站失败！");
  TunnelReady(client, std::span<const uint8_t>(received).subspan(*length));
}

void ConnectViaProxy(Client& client) {
  Net& net = client.net;
  const LaunchLine& line = client.shell.launch;
  ResetNetRings(client);
  net.ProxyReady = false;
  net.ProxyStep = 0;
  client.heartbeat.LoginOwed = true;  // nothing queued goes into the negotiation
  client.Winsock1.Connect(line.ProxyServerHost, line.ProxyServerPort);
  if (net.proxy_wait_running) return;
  const int stops_before = client.shell.heartbeat_stops;
  {
    // Ends the guard however the wait ends (a handler may end the program).
    struct WaitGuard {
      bool& running;
      explicit WaitGuard(bool& r) : running(r) { running = true; }
      ~WaitGuard() { running = false; }
    } guard(net.proxy_wait_running);
    client.loop.WaitUntil([&] {
      const int state = client.Winsock1.State();
      return state == TcpSocket::kConnected || state == TcpSocket::kError ||
             state == TcpSocket::kClosed;
    });
  }
  // A reset or leave during the wait switched the slots off: that stands.
  if (client.shell.heartbeat_stops != stops_before) return;
  if (client.Winsock1.State() != TcpSocket::kConnected) {
    // As on the direct path: the watchdog takes over the connection that is
    // down (it looks for the lobby and hands over to the reconnect window).
    client.heartbeat.Enable(kWatchdogSlot);
    client.main_form.TimerBong.SetEnabled(true);
    return;
  }
  client.data.LoginPending = true;
  ResetProxyReceive(client);
  SendStep(client, 1);
  client.heartbeat.Enable(kWatchdogSlot);
}

}  // namespace slvn
