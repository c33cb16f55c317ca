#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// The score sheet of a won hand: the four columns of the score board from
// the result rows, the coins, points and counts of every seat, the hand
// list's line, the saved record, the end of the hand and the ready countdown.
void ShowScoreSheet(Client& client);
// Its twin for a drawn hand that went through the item plug-in.
void ShowHandResult(Client& client);
// The coin tally of the treasure-box opening in the item label: -1 prepares
// it, 1 .. steps-1 count up, `steps` (or more) shows the final frame.
void ShowCoinSettlement(Client& client, int16_t step);

}  // namespace slvn
