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

void ClearRecordBoards(Client& client) {
  NotYetBuilt(client, "ClearRecordBoards");
}

void HideRecordBoards(Client& client) {
  NotYetBuilt(client, "HideRecordBoards");
}
void ToggleRecordBoard(Client& client, int) {
  NotYetBuilt(client, "ToggleRecordBoard");
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
