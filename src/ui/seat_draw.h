#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// The seat-wind draw: four covered tiles in the middle of the table, one of
// them turned to show the own wind (index 0 North, 1 West, 2 South, 3 East),
// each held half a second with the screen shown, then hidden again.
void ShowSeatDraw(Client& client, int16_t wind_index);
// The compass turned to the own wind; an own seat still unknown shows North.
void ShowCompass(Client& client);

}  // namespace slvn
