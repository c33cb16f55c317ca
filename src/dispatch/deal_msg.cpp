#include "dispatch/deal_msg.h"

#include "dispatch/hand_end.h"
#include "dispatch/hand_start.h"
#include "dispatch/login_reply.h"
#include "dispatch/seat_name.h"
#include "dispatch/seating.h"
#include "dispatch/table_lifecycle.h"
#include "dispatch/turn_commands.h"

#include "dispatch/table_state.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/general.h"

namespace slvn {

namespace {

// Sub-codes of command 16 in data word 3.
void DispatchReady(Client& client) {
  switch (client.net.info.value[3]) {
    case 2:
      return HandleGameStart(client);
    case 0:
      return HandleSeatFreed(client);
    case 1:
      return HandleQuit(client);
    default:
      return HandleOutOfCoins(client);
  }
}

// Command 6 converts only another seat's bit; the arm recognises its own
// seat from the packet's seat byte.
void ToRelativeSeatIfOther(Client& client) {
  uint8_t seat_byte = client.net.Msg.Byte(packet_offset::kSeat) & 15;
  if (seat_byte != (client.custom[0].SeatWind & 15)) ToRelativeSeat(client);
}

}  // namespace

// From the packet's seat byte: the chat line's reader has converted info.seat already.
void ToRelativeSeat(Client& client) {
  uint8_t seat_byte = client.net.Msg.Byte(packet_offset::kSeat) & 15;
  client.net.info.seat = static_cast<uint8_t>(RelativeSeat(client.custom[0].SeatWind, seat_byte));
}

void HandleChatSeat(Client& client) {
  ToRelativeSeat(client);
}

void ForwardToPlugin(Client& client) {
  if (client.prop.Prop_GameDllState <= 0) return;
  if (client.net.info.cmd == Cmd_PropFlag) client.prop.PropScoreReady = true;
  Rec_MSG(client, client.net.Msg);
}

// The command table. "Relative" arms see info.seat as a display seat; the
// others see the seat bit as received.
void Deal_MSG(Client& client) {
  Net& net = client.net;
  if (net.Msg.Byte(packet_offset::kCommand + 1) != Cmd_ReconnectReply) {
    net.EchoToken[0] = net.Msg.Byte(packet_offset::kEchoToken);
    net.EchoToken[1] = net.Msg.Byte(packet_offset::kEchoToken + 1);
  }
  switch (net.info.cmd) {
    case Cmd_Deal:
      return HandleDeal(client);
    case Cmd_Discard:
      return HandleDiscard(client);
    case Cmd_SeatName:
      return HandleSeatName(client);
    case Cmd_NewHand:
      return HandleNewHand(client);
    case Cmd_Draw:
      return HandleDraw(client);
    case Cmd_Turn:
      ToRelativeSeatIfOther(client);
      return HandleTurnPrompt(client);
    case Cmd_Operate:
      return HandleClaim(client);
    case Cmd_Piao:
      ToRelativeSeat(client);
      return HandlePiao(client);
    case Cmd_HandEnd:
      ToRelativeSeat(client);
      return HandleHandEndRow(client);
    case Cmd_WildReset:
      return HandleFaceUpTile(client);
    case Cmd_ShowHand:
      return HandleShownHand(client);
    case Cmd_Ready:
      return DispatchReady(client);
    case Cmd_Result:
      ToRelativeSeat(client);
      return HandleResultRow(client);
    case Cmd_Login:
      return HandleLoginReply(client);
    case Cmd_Chat:
      return HandleChatSeat(client);
    case Cmd_UserInfo:
      return HandleUserDetails(client);
    case Cmd_UserLeft:
      return HandleUserLeft(client);
    case Cmd_Kick:
      return HandleForcedExit(client);
    case Cmd_ReadyState:
      return HandleReadyState(client);
    case Cmd_ReconnectReply:
      return HandleReconnectReply(client);
    case Cmd_HandTiles:
      ToRelativeSeat(client);
      return HandleSeatTiles(client);
    case Cmd_SeatWinds:
      return HandleTableSummary(client);
    default:  // 44-46 and every command without an arm
      return ForwardToPlugin(client);
  }
}

}  // namespace slvn
