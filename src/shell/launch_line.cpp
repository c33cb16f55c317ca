#include "shell/launch_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "platform/text.h"

namespace slvn {

namespace {

constexpr size_t kFieldCount = 15;
constexpr size_t kSpectatorFields = 5;
constexpr size_t kMaxProxyCredential = 255;
constexpr size_t kNameBytes = 16;
constexpr size_t kLoginString2Offset = 32;
constexpr size_t kEchoTokenOffset = 260;

std::string_view Trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// A whole integer in [lo, hi]; an empty field is 0.
std::optional<long> ToInteger(std::string_view field, long lo, long hi) {
  field = Trim(field);
  if (field.empty()) return 0;
  long value = 0;
  auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (ec != std::errc() || end != field.data() + field.size() || value < lo || value > hi)
    return std::nullopt;
  return value;
}

// The number a text starts with, 0 when it starts with none.
double LeadingNumber(std::string_view text) {
  text = Trim(text);
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

}  // namespace

std::string JoinLaunchArguments(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return std::string(Trim(line));
}

LaunchLineResult ParseLaunchLine(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return {std::nullopt, "启动参数为空"};
  LaunchLine line;
  line.WatchMode = text.back() != '$';

  // Field k is the text before the k-th "$". A spectator's line has five
  // fields; all that follows the fifth "$" is the watched player's id.
  const size_t wanted = line.WatchMode ? kSpectatorFields : kFieldCount;
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (fields.size() < wanted) {
    size_t dollar = text.find('$', start);
    if (dollar == std::string_view::npos) break;
    fields.push_back(text.substr(start, dollar - start));
    start = dollar + 1;
  }
  if (line.WatchMode) line.WatchUserID = LeadingNumber(text.substr(std::min(start, text.size())));
  fields.resize(kFieldCount);

  line.LoginName = fields[0];
  line.LoginString2 = fields[1];
  line.GameServerHost = Trim(fields[2]);
  line.RoomCaption = fields[4];
  line.ProxyServerHost = Trim(fields[6]);
  line.ProxyUser = CharLeft(fields[8], kMaxProxyCredential);
  line.ProxyPassword = CharLeft(fields[9], kMaxProxyCredential);
  line.UseLobbyCaption = LeadingNumber(fields[10]) == 1;
  line.LobbyTitle = fields[11];
  line.WindowCaption = fields[12];

  auto port = ToInteger(fields[3], 0, 65535);
  if (!port) return {std::nullopt, "游戏服务器端口"};
  line.GameServerPort = static_cast<uint16_t>(*port);
  // Any proxy type that is not a number means no connection, like any other
  // unknown type.
  line.ProxyType = static_cast<int16_t>(ToInteger(fields[5], -32768, 32767).value_or(-1));
  auto proxy_port = ToInteger(fields[7], 0, 65535);
  if (!proxy_port && line.ProxyType == 5) return {std::nullopt, "代理服务器端口"};
  line.ProxyServerPort = static_cast<uint16_t>(proxy_port.value_or(0));
  line.Prop_swicth = static_cast<int16_t>(ToInteger(fields[13], -32768, 32767).value_or(0));
  line.Prop_Param = static_cast<int16_t>(ToInteger(fields[14], -32768, 32767).value_or(0));
  return {line, ""};
}

LoginPacketBytes BuildLoginPacket(std::string_view login_name, std::string_view login_string2) {
  LoginPacketBytes packet{};
  packet[3] = 18;
  packet[14] = 1;
  login_name = login_name.substr(0, kNameBytes);
  std::copy(login_name.begin(), login_name.end(), packet.begin() + 16);
  login_string2 = login_string2.substr(0, kEchoTokenOffset - kLoginString2Offset);
  std::copy(login_string2.begin(), login_string2.end(), packet.begin() + kLoginString2Offset);
  return packet;
}

}  // namespace slvn
