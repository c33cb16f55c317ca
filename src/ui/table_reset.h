#pragma once

namespace slvn {

struct Client;

// Forgets the previous table's tiles: tile sizes, hidden tile images and
// claim buttons, empty seat names.
void ClearTableTiles(Client& client);
// The empty table of a new hand: running-hand widgets hidden, the 120 tile
// images sized, placed and stacked as the face-down wall (still hidden), and
// each seat's hand, discard and draw origins.
void ResetTableView(Client& client);
// The table made ready for the next hand: the tiles forgotten, the view
// reset and the players' hand records emptied; TableCleared says so.
void ClearTableForNextHand(Client& client);

}  // namespace slvn
