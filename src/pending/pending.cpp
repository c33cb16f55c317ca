#include "pending/pending.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "shell/client.h"

namespace slvn {

void NotYetBuilt(Client& client, std::string_view name) {
  auto& seen = client.not_yet_built;
  if (std::find(seen.begin(), seen.end(), name) == seen.end())
    std::fprintf(stderr, "slvn: %.*s is not built yet\n", static_cast<int>(name.size()),
                 name.data());
  seen.emplace_back(name);
}

void LeaveTableAndStopVideo(Client& client) {
  NotYetBuilt(client, "LeaveTableAndStopVideo");
}
void ResetClientState(Client& client) {
  NotYetBuilt(client, "ResetClientState");
}

void HandleHandEndRow(Client& client) {
  NotYetBuilt(client, "HandleHandEndRow");
}

void HandleShownHand(Client& client) {
  NotYetBuilt(client, "HandleShownHand");
}

void HandleGameStart(Client& client) {
  NotYetBuilt(client, "HandleGameStart");
}

void HandleSeatFreed(Client& client) {
  NotYetBuilt(client, "HandleSeatFreed");
}

void HandleQuit(Client& client) {
  NotYetBuilt(client, "HandleQuit");
}

void HandleOutOfCoins(Client& client) {
  NotYetBuilt(client, "HandleOutOfCoins");
}

void HandleResultRow(Client& client) {
  NotYetBuilt(client, "HandleResultRow");
}

void HandleUserDetails(Client& client) {
  NotYetBuilt(client, "HandleUserDetails");
}

void HandleUserLeft(Client& client) {
  NotYetBuilt(client, "HandleUserLeft");
}

void HandleForcedExit(Client& client) {
  NotYetBuilt(client, "HandleForcedExit");
}

void HandleReadyState(Client& client) {
  NotYetBuilt(client, "HandleReadyState");
}

void HandleSeatTiles(Client& client) {
  NotYetBuilt(client, "HandleSeatTiles");
}

void HandleTableSummary(Client& client) {
  NotYetBuilt(client, "HandleTableSummary");
}

void Rec_MSG(Client& client, GamePacket&) {
  NotYetBuilt(client, "Rec_MSG");
}

void HandleProxyReply(Client& client) {
  NotYetBuilt(client, "HandleProxyReply");
}

void ShowSpeakBubble(Client& client, int, int, int) {
  NotYetBuilt(client, "ShowSpeakBubble");
}

void PiaoCountdown(Client& client) {
  NotYetBuilt(client, "PiaoCountdown");
}
void TurnCountdown(Client& client) {
  NotYetBuilt(client, "TurnCountdown");
}
void ReadyCountdown(Client& client) {
  NotYetBuilt(client, "ReadyCountdown");
}
void ItemPoll(Client& client) {
  NotYetBuilt(client, "ItemPoll");
}
void rec_state(Client& client, int, bool) {
  NotYetBuilt(client, "rec_state");
}
void ShutdownPropPlugin(Client& client, int) {
  NotYetBuilt(client, "ShutdownPropPlugin");
}
void ShowOwnVideo(Client& client, bool, bool) {
  NotYetBuilt(client, "ShowOwnVideo");
}
void LoadReconnectForm(Client& client) {
  NotYetBuilt(client, "LoadReconnectForm");
}

void UnloadOtherExitForm(Client& client) {
  NotYetBuilt(client, "UnloadOtherExitForm");
}

void ConnectViaProxy(Client& client) {
  NotYetBuilt(client, "ConnectViaProxy");
}
void FixBuffPos(Client& client) {
  NotYetBuilt(client, "FixBuffPos");
}
void UnloadVideoZoomWindows(Client& client) {
  NotYetBuilt(client, "UnloadVideoZoomWindows");
}
void LayoutVideoPanels(Client& client) {
  NotYetBuilt(client, "LayoutVideoPanels");
}
void LayoutPlayerInfo(Client& client) {
  NotYetBuilt(client, "LayoutPlayerInfo");
}
void AnNiu_Click(Client& client, int /*index*/) {
  NotYetBuilt(client, "AnNiu_Click");
}
void HideTalkWindow(Client& client) {
  NotYetBuilt(client, "HideTalkWindow");
}
void ClearUser(Client& client, int16_t /*seat*/) {
  NotYetBuilt(client, "ClearUser");
}

// A hand's course: video, the exit dialog, the item bar, the spectator's twins.
void LoginVideoServer(Client& client) {
  NotYetBuilt(client, "LoginVideoServer");
}
void StartLocalVideo(Client& client) {
  NotYetBuilt(client, "StartLocalVideo");
}
void ConnectTableVideo(Client& client) {
  NotYetBuilt(client, "ConnectTableVideo");
}
void UnloadExitForm(Client& client) {
  NotYetBuilt(client, "UnloadExitForm");
}
void ClearItemBar(Client& client) {
  NotYetBuilt(client, "ClearItemBar");
}
void WatchDrawTiles(Client& client, uint8_t, uint8_t, const std::array<int16_t, 4>&) {
  NotYetBuilt(client, "WatchDrawTiles");
}
void WatchShowDiscard(Client& client, uint8_t, TileCode) {
  NotYetBuilt(client, "WatchShowDiscard");
}
void WatchApplyOperation(Client& client, int16_t, uint8_t, const std::array<TileCode, 3>&) {
  NotYetBuilt(client, "WatchApplyOperation");
}

// Claims and melds
void ApplyOperation(Client& client, int16_t, uint8_t, const std::array<TileCode, 3>&) {
  NotYetBuilt(client, "ApplyOperation");
}

}  // namespace slvn
