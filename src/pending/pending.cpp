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

void HandleForcedExit(Client& client) {
  NotYetBuilt(client, "HandleForcedExit");
}

void ShowSpeakBubble(Client& client, int, int, int) {
  NotYetBuilt(client, "ShowSpeakBubble");
}

void AnNiu_Click(Client& client, int /*index*/) {
  NotYetBuilt(client, "AnNiu_Click");
}
void HideTalkWindow(Client& client) {
  NotYetBuilt(client, "HideTalkWindow");
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

void ClearCoinNames(Client& client) {
  NotYetBuilt(client, "ClearCoinNames");
}
void ShowCoinSettlement(Client& client, int16_t) {
  NotYetBuilt(client, "ShowCoinSettlement");
}
void Tou_Click(Client& client, int) {
  NotYetBuilt(client, "Tou_Click");
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

void SetupWatchTable(Client& client) {
  NotYetBuilt(client, "SetupWatchTable");
}
void SetHeroSeat(Client& client, int, const std::string&, int) {
  NotYetBuilt(client, "SetHeroSeat");
}
void imgword1_Click(Client& client) {
  NotYetBuilt(client, "imgword1_Click");
}
void imgword2_Click(Client& client) {
  NotYetBuilt(client, "imgword2_Click");
}

}  // namespace slvn
