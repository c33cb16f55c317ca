#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace slvn {

struct Client;

// The coin tally of one treasure-box opening, kept from its prepare call to
// its final frame; by display seat.
struct CoinTally {
  std::array<std::string, 4> CoinNames;  // the seats' name lines
  std::array<double, 4> CoinStep{};      // coins added per counting frame
  std::array<double, 4> CoinShown{};     // the amount each seat shows now
  int NameWidth = 0;                     // bytes of the widest name line
  int AmountWidth = 1;                   // characters of the largest amount
};

// The coin tally of the treasure-box opening in the item label: -1 prepares
// it, 1 .. steps-1 count each seat's item coins up, `steps` (or more) shows
// the whole tally and copies it to the chat history and the message strip.
void ShowCoinSettlement(Client& client, int16_t step);
// The tally's seat names cleared, as the plug-in loads.
void ClearCoinNames(Client& client);

}  // namespace slvn
