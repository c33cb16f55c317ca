#pragma once

namespace slvn {

struct Client;

// Command 3, one seat's name: the fourth of a batch finds the own seat.
void HandleSeatName(Client& client);
// Finds the own account name among the four seat names (the higher seat
// wins a tie) and gives every display seat its wind and name; nothing
// changes when the name is missing.
void OwnSeatSearch(Client& client);

}  // namespace slvn
