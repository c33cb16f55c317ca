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

void HandleResultRow(Client& client) {
  NotYetBuilt(client, "HandleResultRow");
}

void ShowOwnVideo(Client& client, bool, bool) {
  NotYetBuilt(client, "ShowOwnVideo");
}
void UnloadVideoZoomWindows(Client& client) {
  NotYetBuilt(client, "UnloadVideoZoomWindows");
}

void HideVideoPanels(Client& client) {
  NotYetBuilt(client, "HideVideoPanels");
}
void ClearRecordBoards(Client& client) {
  NotYetBuilt(client, "ClearRecordBoards");
}

void HideRecordBoards(Client& client) {
  NotYetBuilt(client, "HideRecordBoards");
}
void ToggleRecordBoard(Client& client, int) {
  NotYetBuilt(client, "ToggleRecordBoard");
}
void HideVideoTip(Client& client) {
  NotYetBuilt(client, "HideVideoTip");
}
void SwitchVideoPanelsOff(Client& client) {
  NotYetBuilt(client, "SwitchVideoPanelsOff");
}
void SwitchVideoPanelsOn(Client& client) {
  NotYetBuilt(client, "SwitchVideoPanelsOn");
}

void ClearCoinNames(Client& client) {
  NotYetBuilt(client, "ClearCoinNames");
}
void ShowCoinSettlement(Client& client, int16_t) {
  NotYetBuilt(client, "ShowCoinSettlement");
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

// A hand's course: video, the exit dialog, the item bar.
void LoginVideoServer(Client& client) {
  NotYetBuilt(client, "LoginVideoServer");
}
void StartLocalVideo(Client& client) {
  NotYetBuilt(client, "StartLocalVideo");
}
void ConnectTableVideo(Client& client) {
  NotYetBuilt(client, "ConnectTableVideo");
}

void ResetPeerVideoPanels(Client& client) {
  NotYetBuilt(client, "ResetPeerVideoPanels");
}
void PairJoiningPlayerVideo(Client& client, int) {
  NotYetBuilt(client, "PairJoiningPlayerVideo");
}
void LoginOwnVideo(Client& client) {
  NotYetBuilt(client, "LoginOwnVideo");
}
void HandOverVideoPanel(Client& client, int) {
  NotYetBuilt(client, "HandOverVideoPanel");
}
void EndUserDetailsVideo(Client& client) {
  NotYetBuilt(client, "EndUserDetailsVideo");
}
void HideSeatVideo(Client& client, int) {
  NotYetBuilt(client, "HideSeatVideo");
}
void SetHeroSeat(Client& client, int, const std::string&, int) {
  NotYetBuilt(client, "SetHeroSeat");
}

void ShowHeroBoard(Client& client) {
  NotYetBuilt(client, "ShowHeroBoard");
}
void ShowScoreBoard(Client& client) {
  NotYetBuilt(client, "ShowScoreBoard");
}

}  // namespace slvn
