#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// Command 4: a new hand. The table is reset, the wall built, the dealer
// marked, the dice rolled, the wall's ends set and the badges shown.
void HandleNewHand(Client& client);
// Command 8: the float-bet phase opens, or a seat's bet is shown.
void HandlePiao(Client& client);
// Command 14: the face-up wall tile; no wild tile is known yet.
void HandleFaceUpTile(Client& client);

// The wall position of the first draw from the dice (1..6) and the dealer's
// display seat; the tail starts at the stack before it.
int16_t WallHeadFromDice(int16_t d1, int16_t d2, int dealer_seat);

// Moves the speech bubble Speak(s - 1) of display seat s (1-3) beside that
// seat and the word picture Words into it; false when s has no bubble.
bool PlaceSeatBubble(Client& client, int s);

}  // namespace slvn
