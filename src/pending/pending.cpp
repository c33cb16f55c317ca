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
void ResetTableView(Client& client) {
  NotYetBuilt(client, "ResetTableView");
}
void ResetStartButton(Client& client) {
  NotYetBuilt(client, "ResetStartButton");
}

void HandleDeal(Client& client) {
  NotYetBuilt(client, "HandleDeal");
}

void HandleDiscard(Client& client) {
  NotYetBuilt(client, "HandleDiscard");
}

void HandleSeatName(Client& client) {
  NotYetBuilt(client, "HandleSeatName");
}

void HandleNewHand(Client& client) {
  NotYetBuilt(client, "HandleNewHand");
}

void HandleDraw(Client& client) {
  NotYetBuilt(client, "HandleDraw");
}

void HandleTurnPrompt(Client& client) {
  NotYetBuilt(client, "HandleTurnPrompt");
}

void HandleClaim(Client& client) {
  NotYetBuilt(client, "HandleClaim");
}

void HandlePiao(Client& client) {
  NotYetBuilt(client, "HandlePiao");
}

void HandleHandEndRow(Client& client) {
  NotYetBuilt(client, "HandleHandEndRow");
}

void HandleFaceUpTile(Client& client) {
  NotYetBuilt(client, "HandleFaceUpTile");
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

void BlinkSlot(Client& client) {
  NotYetBuilt(client, "BlinkSlot");
}
void HideClaimBubble(Client& client) {
  NotYetBuilt(client, "HideClaimBubble");
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
void ShowOwnVideo(Client& client, bool, bool) {
  NotYetBuilt(client, "ShowOwnVideo");
}
bool AsyncReadRemoteGIF(Client& client, ucAniGIF&, std::string_view) {
  NotYetBuilt(client, "AsyncReadRemoteGIF");
  return false;
}

void CancelAsyncReadRemoteGIF(Client& client, ucAniGIF&) {
  NotYetBuilt(client, "CancelAsyncReadRemoteGIF");
}

void UnloadOtherExitForm(Client& client) {
  NotYetBuilt(client, "UnloadOtherExitForm");
}
void ShowFirstWebPane(Client& client, const std::string&) {
  NotYetBuilt(client, "ShowFirstWebPane");
}

void PaintWindowSkin(Client& client) {
  NotYetBuilt(client, "PaintWindowSkin");
}
void PlaceTableArea(Client& client, bool, bool) {
  NotYetBuilt(client, "PlaceTableArea");
}
void PrepareSmallLayout(Client& client) {
  NotYetBuilt(client, "PrepareSmallLayout");
}
void LayoutTable(Client& client) {
  NotYetBuilt(client, "LayoutTable");
}
void LayoutTableWidgets(Client& client) {
  NotYetBuilt(client, "LayoutTableWidgets");
}
void ShowRoomCaption(Client& client, const std::string&) {
  NotYetBuilt(client, "ShowRoomCaption");
}
void FocusChatLine(Client& client) {
  NotYetBuilt(client, "FocusChatLine");
}
void UnloadVideoZoomWindows(Client& client) {
  NotYetBuilt(client, "UnloadVideoZoomWindows");
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
void Pic1_KeyDown(Client& client, int, int) {
  NotYetBuilt(client, "Pic1_KeyDown");
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

}  // namespace slvn
