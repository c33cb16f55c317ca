#include "chat/chat_text.h"
#include "chat/speak_box.h"
#include "platform/text.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/net/packet_io.h"

namespace slvn {

namespace {

namespace off = packet_offset;

constexpr int16_t kChatWidth = 46;
constexpr size_t kStripCharacters = 45;

// Command 3: the seat's account name, single-byte characters up to the first
// zero. A seat byte that is not one seat's bit names no seat: nothing is stored.
void StoreSeatName(Net& net) {
  const uint8_t seat = net.info.seat;
  if (seat != 1 && seat != 2 && seat != 4 && seat != 8) return;
  net.SeatNames[BitIndex(seat)] = net.Msg.ByteString(off::kSeatName, off::kSeatNameLength);
}

bool IsPluginPacket(const GamePacket& packet) {
  uint32_t pass_length = packet.U32BE(off::kPassLength);
  return pass_length == 272 || pass_length == 260;
}

// The GB2312 bytes of the chat text: a byte of 0x80 or more starts a
// two-byte character; the text ends at a zero where a character begins. A
// lead byte in the last place takes the byte after the text as its second.
std::string ChatBytes(const GamePacket& packet) {
  auto range = packet.Range(off::kChatText, off::kChatTextLength + 1);
  size_t end = 0;
  while (end < off::kChatTextLength && range[end] != 0) end += range[end] >= 0x80 ? 2 : 1;
  return std::string(range.begin(), range.begin() + end);
}

void ShowChatLine(Client& client) {
  Net& net = client.net;
  GameMessage& info = net.info;
  if (IsPluginPacket(net.Msg)) {
    if (client.prop.Prop_GameDllState > 0) Rec_MSG(client, net.Msg);
    return;
  }
  std::string text = Gb2312ToUtf8(ChatBytes(net.Msg));
  uint8_t own_seat = client.custom[0].SeatWind;
  if (own_seat != 0 && info.seat != 0) {
    info.seat = static_cast<uint8_t>(RelativeSeat(own_seat, info.seat));
    if (info.value[0] == 1 || info.value[0] == 2)
      ShowSpeakBubble(client, info.seat, info.value[0], info.value[3]);
  }
  if (!text.starts_with("系统提示")) text = ReplaceFirst(text, client.Detail[0].name, "你");
  text = FilterChat(text);
  ChatState& chat = client.chat;
  AddWrappedLines(chat.Text1, text, kChatWidth);
  if (!chat.Text1.empty()) chat.Text1TopIndex = static_cast<int>(chat.Text1.size()) - 1;
  PutSysmsgLine(client, CharLeft(text, kStripCharacters));
  if (info.seat > 0) client.data.ChatBlinkCount = 8;
}

}  // namespace

void ReadPacket(Client& client) {
  Net& net = client.net;
  if (!net.RecvRing.TakePacket(net.Msg)) return;
  net.info = DecodeHeader(net.Msg);
  if (net.info.cmd == Cmd_SeatName) StoreSeatName(net);
  if (net.info.cmd == Cmd_Chat) ShowChatLine(client);
}

}  // namespace slvn
