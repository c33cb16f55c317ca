#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// Command 41: the summary of a hand under way. The table is emptied, the
// dealer's wind shown, the first three buttons locked, and the dealer, dice,
// wild tile and face-up tile kept for the watched-table setup and the tiles
// that follow; a new table state takes its wall images from the start.
void HandleTableSummary(Client& client);

// Command 40: one seat's piles, melds and concealed tiles of a hand under
// way, taken from the wall; after the fourth the remaining wall, the wild
// tile, the face-up tile and the earlier discards complete the table.
void HandleSeatTiles(Client& client);

// The next wall image of the table state, counted from WallHead, or -1 when
// the table state has taken all 120.
int16_t TakeStateImage(Client& client);

}  // namespace slvn
