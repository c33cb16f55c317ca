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

void ShowSpeakBubble(Client& client, int, int, int) {
  NotYetBuilt(client, "ShowSpeakBubble");
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

void ClearRecordBoards(Client& client) {
  NotYetBuilt(client, "ClearRecordBoards");
}

void ApplyBossKeyToWindows(Client& client, BossKeyVariant) {
  NotYetBuilt(client, "ApplyBossKeyToWindows");
}
void HideFloatingWindows(Client& client) {
  NotYetBuilt(client, "HideFloatingWindows");
}
void ShowTalkWindow(Client& client) {
  NotYetBuilt(client, "ShowTalkWindow");
}

void PrepareItemControls(Client& client) {
  NotYetBuilt(client, "PrepareItemControls");
}
void LoadBoxPictures(Client& client, int) {
  NotYetBuilt(client, "LoadBoxPictures");
}
void UnloadItemControls(Client& client) {
  NotYetBuilt(client, "UnloadItemControls");
}
void SetItemLabel(Client& client, const std::string&) {
  NotYetBuilt(client, "SetItemLabel");
}
void AddItemMessage(Client& client, const std::string&) {
  NotYetBuilt(client, "AddItemMessage");
}
void ShowItemEffect(Client& client, const std::string&, const std::vector<int32_t>&,
                    const std::vector<int32_t>&) {
  NotYetBuilt(client, "ShowItemEffect");
}
void PlayTreasureBoxes(Client& client) {
  NotYetBuilt(client, "PlayTreasureBoxes");
}
void OpenTreasureBoxes(Client& client, int) {
  NotYetBuilt(client, "OpenTreasureBoxes");
}
void Tou_Click(Client& client, int) {
  NotYetBuilt(client, "Tou_Click");
}
void Tou_MouseMove(Client& client, int, int, int, int, int) {
  NotYetBuilt(client, "Tou_MouseMove");
}
void ShowScoreSheet(Client& client) {
  NotYetBuilt(client, "ShowScoreSheet");
}
void ShowHandResult(Client& client) {
  NotYetBuilt(client, "ShowHandResult");
}

void SetScoreNameColor(Client& client, int /*seat*/, uint32_t /*color*/) {
  NotYetBuilt(client, "SetScoreNameColor");
}

// A hand's course: the exit dialog, the item bar, the spectator's twins.
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

}  // namespace slvn
