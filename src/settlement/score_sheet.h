#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace slvn {

struct Client;

// The score sheet of a won hand: the four columns of the score board from
// the result rows, the coins, points and counts of every seat, the hand
// list's line, the saved record, the end of the hand and the ready countdown.
void ShowScoreSheet(Client& client);
// Its twin for a drawn hand that went through the item plug-in.
void ShowHandResult(Client& client);
// The parts of an item text, split at every "|".
std::vector<std::string> SplitItemText(const std::string& text);

// One part of a seat's item text: the text its line shows and the column
// colour it sets (-1 none). A part of eight characters or more that ends in
// eight digits loses them to the colour; a shorter part of digits only sets
// the colour and shows as it is; the colour counts only up to 0xFFFFFF.
struct ItemLine {
  std::string text;
  int64_t colour = -1;
};
ItemLine SplitItemPart(const std::string& part);
// 2 to the power of the wild-tile streak as the sheet shows it.
std::string StreakMultiplier(uint8_t count);

}  // namespace slvn
