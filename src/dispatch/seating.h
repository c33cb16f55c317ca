#pragma once

namespace slvn {

struct Client;

// Command 20: one player's details. Seats the player (the own player at
// login, a joining player in the first empty seat, a seated player by seat
// bit), shows name, coins, level and avatar, tells the item plug-in, keeps
// the wealth badge, and once the four seated players are known after the
// seat names runs the seat-wind draw, the compass and the voices.
void HandleUserDetails(Client& client);
// Command 21: a user left. The own account name ends the program; another
// player's seat is emptied, and a game running at the table is wound up
// with the ready countdown. A spectator's watch ends.
void HandleUserLeft(Client& client);
// Display seat s's avatar, name, coins and level on the table, its name and
// avatar on the boards, from Detail(s).
void ShowPlayer(Client& client, int s);

}  // namespace slvn
