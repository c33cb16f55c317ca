#pragma once

#include "state/types.h"

namespace slvn {

struct Client;

// Command 1: a seat is dealt four tiles.
void HandleDeal(Client& client);
// Command 5: a seat draws a tile (after a kong, the replacement tile).
void HandleDraw(Client& client);
// Command 2: a seat discarded a tile.
void HandleDiscard(Client& client);
// Command 6: a seat's turn; for the own seat the claims it may make.
void HandleTurnPrompt(Client& client);
// Command 7: a seat claimed a tile or declared a kong.
void HandleClaim(Client& client);

// Counts `n` more of `tile` as seen; codes that name no tile count nothing.
void CountSeen(Client& client, TileCode tile, int n);

}  // namespace slvn
