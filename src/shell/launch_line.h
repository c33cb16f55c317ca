#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace slvn {

// What the lobby's launch line says: up to fifteen fields, each ended by "$".
// A line whose last character is not "$" starts a spectator.
struct LaunchLine {
  bool WatchMode = false;
  std::string LoginName;         // field 1: account name, bytes as given
  std::string LoginString2;      // field 2
  std::string GameServerHost;    // field 3
  uint16_t GameServerPort = 0;   // field 4
  std::string RoomCaption;       // field 5
  int16_t ProxyType = 0;         // field 6: 0 direct, 5 SOCKS5, anything else no connection
  std::string ProxyServerHost;   // field 7
  uint16_t ProxyServerPort = 0;  // field 8
  std::string ProxyUser;         // field 9, at most 255 characters
  std::string ProxyPassword;     // field 10, at most 255 characters
  bool UseLobbyCaption = false;  // field 11 starts with the number 1
  std::string LobbyTitle;        // field 12
  std::string WindowCaption;     // field 13
  int16_t Prop_swicth = 0;       // field 14
  int16_t Prop_Param = 0;        // field 15
  double WatchUserID = 0;        // a spectator's watched player, the text after the fifth "$"
};

// The line, or the reason it cannot start the client. A number that is used
// and does not convert is a failure; an empty numeric field reads as 0.
struct LaunchLineResult {
  std::optional<LaunchLine> line;
  std::string error;
};

LaunchLineResult ParseLaunchLine(std::string_view text);

// The program's arguments joined by single blanks and trimmed.
std::string JoinLaunchArguments(int argc, const char* const* argv);

using LoginPacketBytes = std::array<uint8_t, 272>;

// The login (command 18): the account name from byte 16 (at most 16 bytes)
// and the second login string from byte 32, cut before the echo token at 260.
LoginPacketBytes BuildLoginPacket(std::string_view login_name, std::string_view login_string2);

}  // namespace slvn
