#include <algorithm>

#include "platform/text.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"

namespace slvn {

namespace {

constexpr size_t kChatCharacters = 100;

bool AppendToSendRing(Client& client, GamePacket& packet) {
  Net& net = client.net;
  packet.SetByte(packet_offset::kEchoToken, net.EchoToken[0]);
  packet.SetByte(packet_offset::kEchoToken + 1, net.EchoToken[1]);
  if (!net.SendRing.AppendPacket(packet)) return false;
  client.heartbeat.Enable(kSendSlot);
  return true;
}

}  // namespace

bool Send_MSG(Client& client, const GameMessage& message) {
  GamePacket packet = EncodeHeader(message);
  if (packet.Byte(packet_offset::kCommand + 1) == Cmd_Chat) {
    std::string& chat = client.data.ChatText;
    if (chat.empty()) return false;
    std::string text = Utf8ToGb2312(CharLeft(chat, kChatCharacters));
    size_t length = std::min(text.size(), packet_offset::kChatTextLength);
    for (size_t i = 0; i < length; ++i)
      packet.SetByte(packet_offset::kChatText + i, static_cast<uint8_t>(text[i]));
    chat.clear();
  }
  return AppendToSendRing(client, packet);
}

bool QueuePacket(Client& client, GamePacket& packet) {
  return AppendToSendRing(client, packet);
}

}  // namespace slvn
